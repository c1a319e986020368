#pragma once

#include <QString>

class QWidget;
class QPushButton;
class QLabel;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QProgressBar;

namespace ui {

// Both pages are designed in twips (1440 an inch); these place controls in pixels of the
// page's screen.
int Twips(const QWidget* widget, int twips);
void PlaceInTwips(QWidget* widget, int left, int top, int width, int height);
void SetClientSizeInTwips(QWidget* window, int width, int height);

QPushButton* MakePushButton(QWidget* parent, const char* name, const QString& caption);
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption);
QGroupBox* MakeFrame(QWidget* parent, const char* name, const QString& caption);
QLineEdit* MakeTextBox(QWidget* parent, const char* name);
// A table list with no current entry until the user picks one.
QListWidget* MakeListBox(QWidget* parent, const char* name);
// A progress bar whose text shows also while it is busy.
QProgressBar* MakeProgressBar(QWidget* parent, const char* name);

void SetBackgroundColour(QWidget* widget, unsigned rgb);
// A page window: fixed size (minimize, no maximize), Arial 9 pt, white as designed.
void SetUpPageWindow(QWidget* window, const char* name, bool boldFont, int clientWidth, int clientHeight);
void CentreOnScreen(QWidget* window);

} // namespace ui
