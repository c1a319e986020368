#pragma once

#include <QColor>
#include <QCursor>
#include <QIcon>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

class QWidget;

namespace app {

inline const QString kProductName = QStringLiteral("Mirravel");
inline const QString kHomePageAddress = QStringLiteral("https://www.kestrovan.com/");
inline const QString kContactPageAddress = QStringLiteral("https://www.kestrovan.com/contact/");

// The title of plain boxes: the product name cut back at its last blank until it is at most
// 40 characters long. A name without a blank is kept whole.
QString SetApplicationTitle(const QString& productName);

// True when the path names something that exists; never fails.
bool FileExists(const QString& path);

// The system's button-face colour.
QColor ButtonFaceColour();

// Gives the form, its frames, labels, option buttons and check boxes the button-face colour.
void ApplyFormColours(QWidget* form);

// Reads a Windows cursor file (.cur), keeping its hotspot. Empty when it cannot be read.
std::optional<QCursor> LoadCursorFile(const QString& path);
// The same for a file that must load: a broken file fails like an invalid picture.
QCursor LoadCursorFileOrFail(const QString& path);

QIcon ApplicationIcon();

// Where the program's optional files live: the program's own folder, no trailing separator.
QString ApplicationFolder();
QString SkinFilePath(const QString& folder);
QString HandCursorPath(const QString& folder);

// Opens the maker's home page on about one start in a hundred.
class HomePageVisit {
public:
    using Draw = std::function<int()>;                 // 1 to 100
    using Opener = std::function<void(const QUrl&)>;

    HomePageVisit();
    HomePageVisit(Draw draw, Opener opener);
    void run() const;

private:
    Draw draw_;
    Opener opener_;
};

} // namespace app
