#include "app/widgets/home_page_visit.h"

#include <QDesktopServices>
#include <QRandomGenerator>
#include <QTime>

namespace app {

HomePageVisit::HomePageVisit()
    : HomePageVisit(
          [] {
              // Seeded from the time of day, as the classic program was.
              QRandomGenerator generator(quint32(QTime::currentTime().msecsSinceStartOfDay()));
              return int(generator.bounded(100)) + 1;
          },
          [](const QUrl& url) { QDesktopServices::openUrl(url); })
{
}

HomePageVisit::HomePageVisit(Draw draw, Opener opener) : draw_(std::move(draw)), opener_(std::move(opener)) {}

void HomePageVisit::run() const
{
    if (draw_() == 7)
        opener_(QUrl(kHomePageAddress));
}

} // namespace app
