#include "ui/login_page_layout.h"

#include "ui/page_design.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
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
            controls.fields[size_t(side * 3 + row)] = text;
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

} // namespace ui
