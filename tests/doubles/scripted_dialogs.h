#pragma once

#include "platform/ports.h"
#include "platform/step_trap.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Records every box and answers questions and input boxes from a script.
class ScriptedDialogs : public platform::Dialogs {
public:
    struct Shown {
        QString kind;  // "information", "error", "question", "input"
        QString title;
        QString text;
        QString proposed;
    };

    void information(const QString& title, const QString& text) override { record({"information", title, text, {}}); }
    void errorReport(const QString& text) override { record({"error", "Application Error", text, {}}); }
    bool askYesNo(const QString& title, const QString& text) override
    {
        record({"question", title, text, {}});
        return yesNoAnswers.isEmpty() ? true : yesNoAnswers.takeFirst();
    }
    QString input(const QString& title, const QString& prompt, const QString& proposed) override
    {
        record({"input", title, prompt, proposed});
        return inputAnswers.isEmpty() ? QString() : inputAnswers.takeFirst();
    }

    void record(const Shown& box)
    {
        shown.append(box);
        if (onShow)
            onShow(box);
    }

    QStringList texts(const QString& kind) const
    {
        QStringList result;
        for (const Shown& box : shown)
            if (box.kind == kind)
                result << box.text;
        return result;
    }
    QStringList errors() const { return texts("error"); }
    QStringList kinds() const
    {
        QStringList result;
        for (const Shown& box : shown)
            result << box.kind;
        return result;
    }
    // "path at line N" of each error report, the part tests care about most.
    QStringList errorPlaces() const
    {
        QStringList result;
        for (const QString& text : errors()) {
            const auto start = text.indexOf(platform::kProcedurePathPrefix) + platform::kProcedurePathPrefix.size();
            result << text.mid(start, text.indexOf('\r', start) - start);
        }
        return result;
    }

    // Runs while a box is "open": lets a test look at the page or act in the middle of a handler.
    std::function<void(const Shown&)> onShow;
    QList<Shown> shown;
    QList<bool> yesNoAnswers;
    QStringList inputAnswers;
};
