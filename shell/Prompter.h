// Every question and message the program puts to the user goes through
// IPrompter: confirmations, information, errors and file dialogs.  The window
// uses TWidgetPrompter; tests answer through a fake without a modal loop.
#pragma once

#include <QString>

class QWidget;

namespace zembrik {

class IPrompter {
public:
    enum class Buttons { YesNo, YesCancel };
    virtual ~IPrompter() = default;
    // True only for "Yes".
    virtual bool Confirm(const QString &text, Buttons buttons) = 0;
    virtual void Information(const QString &text) = 0;
    virtual void Error(const QString &text) = 0;
    // Empty when cancelled.
    virtual QString OpenFileName(const QString &filter, const QString &defaultSuffix) = 0;
    virtual QString SaveFileName(const QString &filter, const QString &defaultSuffix) = 0;
};

class TWidgetPrompter : public IPrompter {
public:
    explicit TWidgetPrompter(QWidget *parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget *parent) { parent_ = parent; }
    bool Confirm(const QString &text, Buttons buttons) override;
    void Information(const QString &text) override;
    void Error(const QString &text) override;
    QString OpenFileName(const QString &filter, const QString &defaultSuffix) override;
    QString SaveFileName(const QString &filter, const QString &defaultSuffix) override;

private:
    QWidget *parent_;
};

} // namespace zembrik
