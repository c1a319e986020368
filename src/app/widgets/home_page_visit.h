#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace app {

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

} // namespace app
