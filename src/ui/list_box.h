#pragma once

#include <QListWidget>

namespace ui {

// A table list that, like the classic list box, has no current entry until the user clicks one
// or moves to one with a key. Qt would make the first entry current whenever the list takes the
// focus, and the commands would then run on an entry nobody chose.
class ListBox : public QListWidget {
public:
    explicit ListBox(QWidget* parent);

protected:
    void focusInEvent(QFocusEvent* event) override;
};

} // namespace ui
