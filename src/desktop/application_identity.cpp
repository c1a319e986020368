#include "desktop/application_identity.h"

#include <QDesktopServices>
#include <QRandomGenerator>
#include <QTime>

namespace desktop {

QString SetApplicationTitle(const QString& productName)
{
    QString title = productName;
    do {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            break;
        title = title.left(blank);
    } while (title.size() > 40);
    return title;
}

QIcon ApplicationIcon()
{
    return QIcon(QStringLiteral(":/mirravel/mirravel.png"));
}

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

} // namespace desktop
