#include "ui/page_design.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QStyleOptionProgressBar>
#include <QStylePainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace ui {

namespace {

// The designed Arial, or where it is missing a font drawn to its measures, so that captions fit
// the controls laid out for them: Qt's own fallback is wider and clips them.
QFont arial(double points, bool bold = true)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Text on a designed white background is drawn black, as designed, whatever the desktop's palette:
// a dark one would draw it near-white on white.
constexpr unsigned kDesignedTextColour = 0x000000;

// WCAG's contrast ratio of two colours, from 1 to 21.
double contrast(const QColor& a, const QColor& b)
{
    auto luminance = [](const QColor& colour) {
        auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour a style paints under a control's text: what paintBackground draws, over the widget's
// own background, at the middle of the text's place.
template <typename PaintBackground>
QColor colourUnder(const QWidget* widget, const QRect& textPlace, PaintBackground paintBackground)
{
    const qreal ratio = widget->devicePixelRatioF();
    QImage background((QSizeF(widget->size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    background.setDevicePixelRatio(ratio);
    background.fill(widget->palette().color(QPalette::Window));
    {
        QPainter painter(&background);
        paintBackground(painter);
    }
    return background.pixelColor((QPointF(textPlace.center()) * ratio).toPoint());
}

// The text colour meant for a place if it stands out from what lies there (WCAG AA: 4.5 to 1), else
// the desktop palette's own text colour or white, whichever stands out more.
QColor readableOn(const QColor& background, const QColor& meant)
{
    QColor text = meant;
    for (const QColor& other : {QGuiApplication::palette().color(QPalette::ButtonText), QColor(Qt::white), QColor(Qt::black)})
        if (contrast(text, background) < 4.5 && contrast(other, background) > contrast(text, background))
            text = other;
    return text;
}

// Enter and Return press a focused button exactly as Space does: down as the key goes down,
// clicked as it comes up, its repeats ignored. A key held down thus clicks once, and only on a
// button that saw it go down: holding Return on Send must not run the copy again and again. No
// button is a default one, so Enter in a field or a list presses nothing.
class PushButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    // The caption is drawn in the designed black on the designed white face. Some styles paint the
    // face in their own colours whatever the palette says (a dark theme's dark grey): the caption is
    // then drawn in a colour that stands out from that face.
    void paintEvent(QPaintEvent*) override
    {
        QStyleOptionButton option;
        initStyleOption(&option);
        const QColor face = colourUnder(this, style()->subElementRect(QStyle::SE_PushButtonContents, &option, this),
                                        [&](QPainter& painter) {
                                            style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
                                        });
        option.palette.setColor(QPalette::ButtonText, readableOn(face, option.palette.color(QPalette::ButtonText)));
        QStylePainter painter(this);
        painter.drawControl(QStyle::CE_PushButton, option);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (!isEnter(*event))
            return QPushButton::keyPressEvent(event);
        QKeyEvent space = asSpace(*event);
        QPushButton::keyPressEvent(&space);
        event->accept();
    }

    void keyReleaseEvent(QKeyEvent* event) override
    {
        if (!isEnter(*event))
            return QPushButton::keyReleaseEvent(event);
        QKeyEvent space = asSpace(*event);
        QPushButton::keyReleaseEvent(&space);
        event->accept();
    }

private:
    static bool isEnter(const QKeyEvent& event)
    {
        return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter)
            && (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    }
    static QKeyEvent asSpace(const QKeyEvent& event)
    {
        return QKeyEvent(event.type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), event.isAutoRepeat());
    }
};

// Controls handle their own pointer moves; a move must not fall through to the frame or page
// behind them.
void keepMouseMoves(QWidget* widget)
{
    widget->setAttribute(Qt::WA_NoMousePropagation);
}

// A progress bar that shows its text also in Qt's busy state, which draws none of its own (the copy
// says there what it is reading), in a colour that stands out from where the style puts it.
class ProgressBar : public QProgressBar {
public:
    using QProgressBar::QProgressBar;
    QString text() const override { return minimum() == 0 && maximum() == 0 ? format() : QProgressBar::text(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStyleOptionProgressBar option;
        initStyleOption(&option);
        QRect textPlace = style()->subElementRect(QStyle::SE_ProgressBarLabel, &option, this);
        const QRect groovePlace = style()->subElementRect(QStyle::SE_ProgressBarGroove, &option, this);
        // A style that puts the text beside the bar draws it there in colours of its own, faded:
        // the bar draws it there itself instead, where the style leaves room for it.
        const bool beside = option.textVisible && (textPlace.isEmpty() || !textPlace.intersects(groovePlace));
        if (beside && textPlace.isEmpty())
            textPlace = QRect(width() * 3 / 4, 0, width() / 4, height());
        const QColor groove = colourUnder(this, textPlace, [&](QPainter& painter) {
            style()->drawControl(QStyle::CE_ProgressBarGroove, &option, &painter, this);
        });
        const QColor text = readableOn(groove, option.palette.color(QPalette::Text));
        // Beside the bar the style keeps the text's room but draws it unseen.
        const QColor styleText = beside ? QColor(Qt::transparent) : text;
        option.palette.setColor(QPalette::Text, styleText);
        option.palette.setColor(QPalette::WindowText, styleText);
        QStylePainter painter(this);
        // Some styles draw the text with the painter's pen, not the option's palette.
        painter.setPen(styleText);
        painter.drawControl(QStyle::CE_ProgressBar, option);
        if (beside) {
            painter.setPen(text);
            painter.drawText(textPlace, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, option.text);
        }
    }
};

// A frame whose caption is black, as the pages were designed, whatever the palette or style
// would give it; the controls inside keep the palette's colours.
class Frame : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        // Styles take the caption's colour from the option's text colour or, without one, from the
        // palette's window text: both are black here.
        const QColor black = QColor::fromRgb(kDesignedTextColour);
        option.textColor = black;
        option.palette.setColor(QPalette::WindowText, black);
        painter.drawComplexControl(QStyle::CC_GroupBox, option);
    }
};

// A table list that, like the classic list box, has no current entry until the user clicks one
// or moves to one with a key. Qt would make the first entry current whenever the list takes the
// focus, and the commands would then run on an entry nobody chose.
class ListBox : public QListWidget {
public:
    explicit ListBox(QWidget* parent) : QListWidget(parent)
    {
        // Every entry is one line of the same font: laying out tens of thousands of names then
        // costs one measure, not one per name.
        setUniformItemSizes(true);
    }

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        const bool hadCurrent = currentIndex().isValid();
        QListWidget::focusInEvent(event);
        if (!hadCurrent && currentIndex().isValid())
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
};

} // namespace

int Twips(const QWidget* widget, int twips)
{
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return (twips * dpi + 720) / 1440;
}

void PlaceInTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips(widget, left), Twips(widget, top), Twips(widget, width), Twips(widget, height));
}

void SetClientSizeInTwips(QWidget* window, int width, int height)
{
    window->setFixedSize(Twips(window, width), Twips(window, height));
}

void SetBackgroundColour(QWidget* widget, unsigned rgb)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(rgb));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetUpPageWindow(QWidget* window, const char* name, bool boldFont, int clientWidth, int clientHeight)
{
    window->setObjectName(QLatin1String(name));
    window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window->setFont(arial(9, boldFont));
    SetBackgroundColour(window, 0xFFFFFF);
    SetClientSizeInTwips(window, clientWidth, clientHeight);
}

QPushButton* MakePushButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new PushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setFont(arial(11.25));
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, Qt::white);
    // The system's button text, as Windows keeps it: black on the white face.
    palette.setColor(QPalette::ButtonText, QColor::fromRgb(kDesignedTextColour));
    button->setPalette(palette);
    button->setAutoDefault(false);
    button->setMouseTracking(true);
    keepMouseMoves(button);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(arial(9));
    SetBackgroundColour(label, 0xFFFFFF);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(kDesignedTextColour));
    label->setPalette(palette);
    // Over a label the pointer stays as it was: no handler, and the move stops here.
    keepMouseMoves(label);
    return label;
}

QGroupBox* MakeFrame(QWidget* parent, const char* name, const QString& caption)
{
    auto* frame = new Frame(caption, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFont(arial(9));
    frame->setFocusPolicy(Qt::NoFocus);
    frame->setMouseTracking(true);
    keepMouseMoves(frame);
    SetBackgroundColour(frame, 0xFFFFFF);
    return frame;
}

QListWidget* MakeListBox(QWidget* parent, const char* name)
{
    auto* list = new ListBox(parent);
    list->setObjectName(QLatin1String(name));
    return list;
}

QProgressBar* MakeProgressBar(QWidget* parent, const char* name)
{
    auto* bar = new ProgressBar(parent);
    bar->setObjectName(QLatin1String(name));
    return bar;
}

QLineEdit* MakeTextBox(QWidget* parent, const char* name)
{
    auto* text = new QLineEdit(parent);
    text->setObjectName(QLatin1String(name));
    text->setFont(arial(9));
    // No practical limit, as in the classic text box; Qt's default stops at 32,767 characters.
    text->setMaxLength(std::numeric_limits<int>::max());
    text->setMouseTracking(true);
    keepMouseMoves(text);
    return text;
}

void CentreOnScreen(QWidget* window)
{
    if (QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
    }
}

} // namespace ui
