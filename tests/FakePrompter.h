// A prompter that answers every question without a modal loop and records
// what was asked and shown.
#pragma once

#include "shell/Prompter.h"

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
    QString OpenFileName(const QString &filter, const QString &suffix) override
    {
        dialogs << QStringLiteral("open %1 %2").arg(filter, suffix);
        return file;
    }
    QString SaveFileName(const QString &filter, const QString &suffix) override
    {
        dialogs << QStringLiteral("save %1 %2").arg(filter, suffix);
        return file;
    }
    QStringList asked, infos, errors, dialogs;
    bool answer = true;
    QString file;
};

} // namespace zembrik::test
