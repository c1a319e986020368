#pragma once

#include <QGroupBox>

namespace ui {

// A frame whose caption is black, as the pages were designed, whatever the palette or style
// would give it; the controls inside keep the palette's colours.
class Frame : public QGroupBox {
public:
    Frame(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace ui
