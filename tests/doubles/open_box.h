#pragma once

#include <QApplication>
#include <QDialog>

// The box the program has up, if any: the visible dialog among the top-level windows. (The
// program's boxes are not modal to Qt, so activeModalWidget() does not find them.)
inline QDialog* OpenBox()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QDialog*>(window); box && box->isVisible())
            return box;
    return nullptr;
}
