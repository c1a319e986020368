#include "ui/tables_page_layout.h"

#include "ui/list_box.h"
#include "ui/page_design.h"

#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>

namespace ui {

namespace {

QListWidget* makeList(QWidget* page, QGroupBox* frame, const char* name, const QString& accessibleName)
{
    QListWidget* list = new ListBox(frame);
    list->setObjectName(QLatin1String(name));
    list->setAccessibleName(accessibleName);
    list->setFont(page->font());
    // A click toggles an entry and leaves the others as they are.
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    list->setAttribute(Qt::WA_NoMousePropagation);
    list->viewport()->setAttribute(Qt::WA_NoMousePropagation);
    PlaceInTwips(list, 240, 360, 3330, 1635);
    return list;
}

// Qt's bar shows no text in its busy state; this one shows what the copy is reading meanwhile.
class ProgressBar : public QProgressBar {
public:
    using QProgressBar::QProgressBar;
    QString text() const override { return minimum() == 0 && maximum() == 0 ? format() : QProgressBar::text(); }
};

} // namespace

std::vector<QPushButton*> TablesPageControls::buttons() const
{
    std::vector<QPushButton*> all;
    for (size_t side = 0; side < 2; ++side) {
        all.insert(all.end(), {selectAllButtons[side], deselectAllButtons[side], sendButtons[side],
                               deleteButtons[side], renameButtons[side]});
    }
    all.insert(all.end(), {backButton, helpButton});
    return all;
}

TablesPageControls BuildTablesPageControls(QWidget* page)
{
    TablesPageControls controls;
    QGroupBox*& frame1 = controls.frames[0];
    QGroupBox*& frame2 = controls.frames[1];
    frame1 = MakeFrame(page, "Frame1", QStringLiteral("Oracle #1 Tables"));
    PlaceInTwips(frame1, 120, 120, 3840, 4215);
    frame2 = MakeFrame(page, "Frame2", QStringLiteral("Oracle #2 Tables"));
    PlaceInTwips(frame2, 4080, 120, 3840, 4215);
    controls.lists = {makeList(page, frame1, "List1", QStringLiteral("Oracle #1 tables")),
                      makeList(page, frame2, "List2", QStringLiteral("Oracle #2 tables"))};

    struct ButtonDesign {
        QPushButton*& button;
        QWidget* container;
        const char* name;
        QString caption;
        int left, top, width, height;
    };
    const ButtonDesign designs[] = {
        {controls.selectAllButtons[0], frame1, "PushButton1", QStringLiteral("Select All"), 240, 2100, 1600, 400},
        {controls.deselectAllButtons[0], frame1, "PushButton2", QStringLiteral("Deselect All"), 1960, 2100, 1600, 400},
        {controls.sendButtons[0], frame1, "PushButton3", QStringLiteral("Send Table(s) To Oracle #2"), 240, 2600, 3330, 400},
        {controls.deleteButtons[0], frame1, "PushButton4", QStringLiteral("Delete Table(s)"), 240, 3100, 3330, 400},
        {controls.renameButtons[0], frame1, "PushButton5", QStringLiteral("Rename Table"), 240, 3600, 3330, 400},
        {controls.selectAllButtons[1], frame2, "PushButton6", QStringLiteral("Select All"), 240, 2100, 1600, 405},
        {controls.deselectAllButtons[1], frame2, "PushButton7", QStringLiteral("Deselect All"), 1960, 2100, 1600, 405},
        {controls.sendButtons[1], frame2, "PushButton8", QStringLiteral("Send Table(s) To Oracle #1"), 240, 2600, 3330, 400},
        {controls.deleteButtons[1], frame2, "PushButton9", QStringLiteral("Delete Table(s)"), 240, 3100, 3330, 405},
        {controls.renameButtons[1], frame2, "PushButton10", QStringLiteral("Rename Table"), 240, 3600, 3330, 405},
        {controls.backButton, page, "PushButton11", QStringLiteral("< Back"), 120, 4980, 3840, 405},
        {controls.helpButton, page, "PushButton12", QStringLiteral("Help"), 4080, 4980, 3840, 405},
    };
    for (const ButtonDesign& design : designs) {
        design.button = MakePushButton(design.container, design.name, design.caption);
        // Each side has the same captions: a screen reader tells them apart by their frame.
        if (auto* frame = qobject_cast<QGroupBox*>(design.container))
            design.button->setAccessibleDescription(frame->title());
        PlaceInTwips(design.button, design.left, design.top, design.width, design.height);
    }

    QProgressBar* bar = controls.progressBar = new ProgressBar(page);
    bar->setObjectName(QStringLiteral("ProgressBar1"));
    bar->setAccessibleName(QStringLiteral("Copy progress"));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setFormat(QStringLiteral("Progress Bar"));
    bar->setTextVisible(true);
    bar->setAlignment(Qt::AlignCenter);
    // No pointer handler: over the bar the pointer keeps whatever it was.
    bar->setAttribute(Qt::WA_NoMousePropagation);
    PlaceInTwips(bar, 120, 4455, 7800, 405);

    // Focus order by tab index: List2, List1, then the buttons in their numbering.
    std::vector<QWidget*> order = {controls.lists[1], controls.lists[0]};
    for (QPushButton* button : controls.buttons())
        order.push_back(button);
    for (size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    controls.lists[1]->setFocus();
    return controls;
}

} // namespace ui
