// A prompter that answers every question without a modal loop and records
// what was asked and shown.
#pragma once

#include "Prompter.h"

#include <QStringList>

namespace zembrik::test {

class FakePrompter : public IPrompter {
public:
    bool Confirm(const QString &text, Buttons) override
    {
        asked << text;
        return answer;
    }
    void Information(const QString &text) override { infos << text; }
    void Error(const QString &text) override { errors << text; }
    QString OpenFileName(const QString &, const QString &) override { return file; }
    QString SaveFileName(const QString &, const QString &) override { return file; }
    QStringList asked, infos, errors;
    bool answer = true;
    QString file;
};

} // namespace zembrik::test
