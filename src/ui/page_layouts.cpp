#include "ui/page_layouts.h"

#include "ui/page_design.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

namespace ui {

LoginPageControls BuildLoginPageControls(QWidget* page)
{
    LoginPageControls controls;
    controls.helpButton = MakePushButton(page, "PushButton4", QStringLiteral("Help"));
    PlaceInTwips(controls.helpButton, 120, 120, 7800, 405);

    QGroupBox*& frame1 = controls.loginFrames[0];
    QGroupBox*& frame2 = controls.loginFrames[1];
    frame1 = MakeFrame(page, "Frame1", QStringLiteral("Oracle #1 Login"));
    PlaceInTwips(frame1, 120, 630, 7800, 2385);
    frame2 = MakeFrame(page, "Frame2", QStringLiteral("Oracle #2 Login (Note: Login can be the same as #1)"));
    PlaceInTwips(frame2, 120, 3120, 7800, 2385);

    const char* const labelNames[2][3] = {{"Label2", "Label1", "Label4"}, {"Label5", "Label3", "Label6"}};
    const char* const textNames[6] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"};
    const QString captions[3] = {QStringLiteral("SID:"), QStringLiteral("Username:"), QStringLiteral("Password:")};
    const QString fieldNames[3] = {QStringLiteral("SID"), QStringLiteral("Username"), QStringLiteral("Password")};
    const QString sideNames[2] = {QStringLiteral("Oracle #1"), QStringLiteral("Oracle #2")};
    for (int side = 0; side < 2; ++side) {
        for (int row = 0; row < 3; ++row) {
            QLabel* label = MakeLabel(controls.loginFrames[size_t(side)], labelNames[side][row], captions[row]);
            PlaceInTwips(label, 240, 405 + 480 * row, 1095, 255);
            QLineEdit* text = MakeTextBox(controls.loginFrames[size_t(side)], textNames[side * 3 + row]);
            PlaceInTwips(text, 1320, 360 + 480 * row, row == 0 ? 5535 : 6255, 345);
            // A screen reader names the field by its side and its label, not by the frame alone.
            label->setBuddy(text);
            text->setAccessibleName(sideNames[side] + QStringLiteral(" Login: ") + fieldNames[row]);
            controls.fields[size_t(side) * 3 + size_t(row)] = text;
        }
    }
    // Passwords show one "*" per character, whatever the platform's own mask character is.
    for (QLineEdit* password : {controls.fields[2], controls.fields[5]}) {
        password->setEchoMode(QLineEdit::Password);
        password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    }

    controls.sidHelpButtons[0] = MakePushButton(frame1, "PushButton6", QStringLiteral("?"));
    PlaceInTwips(controls.sidHelpButtons[0], 6960, 360, 615, 345);
    controls.testButtons[0] = MakePushButton(frame1, "PushButton3", QStringLiteral("Test Connection"));
    PlaceInTwips(controls.testButtons[0], 240, 1800, 7330, 405);
    controls.sidHelpButtons[1] = MakePushButton(frame2, "PushButton7", QStringLiteral("?"));
    PlaceInTwips(controls.sidHelpButtons[1], 6960, 360, 615, 345);
    controls.testButtons[1] = MakePushButton(frame2, "PushButton5", QStringLiteral("Test Connection"));
    PlaceInTwips(controls.testButtons[1], 240, 1800, 7330, 405);
    for (int side = 0; side < 2; ++side) {
        controls.sidHelpButtons[size_t(side)]->setAccessibleName(QStringLiteral("Help on SID for ") + sideNames[side]);
        controls.testButtons[size_t(side)]->setAccessibleDescription(sideNames[side]);
    }
    controls.nextButton = MakePushButton(page, "PushButton2", QStringLiteral("Next >"));
    PlaceInTwips(controls.nextButton, 120, 5640, 7800, 405);

    const auto& fields = controls.fields;
    QWidget* order[] = {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5],
                        controls.sidHelpButtons[0], controls.testButtons[0], controls.sidHelpButtons[1],
                        controls.testButtons[1], controls.nextButton, controls.helpButton};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    fields[0]->setFocus();
    return controls;
}

namespace {

QListWidget* makeList(QWidget* page, QGroupBox* frame, const char* name, const QString& accessibleName)
{
    QListWidget* list = MakeListBox(frame, name);
    list->setAccessibleName(accessibleName);
    list->setFont(page->font());
    // A click toggles an entry and leaves the others as they are.
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    list->setAttribute(Qt::WA_NoMousePropagation);
    list->viewport()->setAttribute(Qt::WA_NoMousePropagation);
    PlaceInTwips(list, 240, 360, 3330, 1635);
    return list;
}

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

    QProgressBar* bar = controls.progressBar = MakeProgressBar(page, "ProgressBar1");
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
