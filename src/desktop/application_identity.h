#pragma once

// Who the program is: its name, the title of its plain boxes, its icon and its maker's home page.

#include <QIcon>
#include <QString>
#include <QUrl>
#include <functional>

namespace desktop {

inline const QString kProductName = QStringLiteral("Mirravel");

// The title of plain boxes: the product name cut back at its last blank until it is at most
// 40 characters long. A name without a blank is kept whole.
QString SetApplicationTitle(const QString& productName);

// The program's icon, from its resources.
QIcon ApplicationIcon();

inline const QString kHomePageAddress = QStringLiteral("https://www.kestrovan.com/");

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

} // namespace desktop
