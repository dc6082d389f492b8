#include "main.h"

#include "pageformats.h"
#include "pictures.h"
#include "userdialogs.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

using namespace Qt::StringLiterals;

HotArea::HotArea(const QString &name, const QRect &place, QWidget *parent)
    : QAbstractButton(parent)
{
    setGeometry(place);
    setAccessibleName(name);
    setToolTip(name);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void HotArea::paintEvent(QPaintEvent *)
{
    if (!underMouse() || !isEnabled())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor glow(120, 200, 255);
    painter.setPen(QPen(glow, 1));
    painter.setBrush(QColor(glow.red(), glow.green(), glow.blue(), isDown() ? 70 : 40));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}

IconButton::IconButton(const QString &name, const QIcon &icon, const QRect &place,
                       QWidget *parent)
    : HotArea(name, place, parent)
{
    setIcon(icon);
    setIconSize(place.size());
}

void IconButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    icon().paint(&painter, rect(), Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
}

DragStrip::DragStrip(const QRect &place, QWidget *window)
    : QWidget(window)
{
    setGeometry(place);
}

bool DragStrip::startSystemMove()
{
    QWindow *handle = window()->windowHandle();
    return handle && handle->startSystemMove();
}

void DragStrip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || startSystemMove())
        return;
    m_dragging = true;
    m_pressed = event->position().toPoint();
}

void DragStrip::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    // The strip moves with the window, so the pointer keeps its place on the strip.
    QWidget *w = window();
    w->move(w->pos() + event->position().toPoint() - m_pressed);
}

void DragStrip::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}

namespace {

QString backgroundPath(bool sharp)
{
    return sharp ? u":/art/background@2x.png"_s : u":/art/background.bmp"_s;
}

} // namespace

QPoint menuPoint(const QRect &frame, const QSize &client, const QRect &hotArea)
{
    return { qRound(frame.left() + (frame.width() - client.width()) * 0.5 + hotArea.left()),
             frame.top() + hotArea.top() + hotArea.height() };
}

MainWindow::MainWindow()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    // Decoding the art takes longer than making the rest of the window, so another thread does
    // it meanwhile, for the scale the window starts at; the first paint takes it.
    m_readingSharp = devicePixelRatioF() > 1;
    m_reading =
        QtConcurrent::run([sharp = m_readingSharp] { return readPicture(backgroundPath(sharp)); });
    setObjectName(u"main"_s);
    setWindowTitle(kProgramTitle);
    setFixedSize(525, 325);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    // Each label reads as its editor's title.
    const auto labelOf = [](PageKind kind) {
        return QString::fromLatin1(pageFormat(kind).windowTitle);
    };
    for (const PageKind kind : kEditedKinds) {
        auto *hot = new HotArea(labelOf(kind), pageFormat(kind).hotArea, this);
        hot->setEnabled(false);
        connect(hot, &QAbstractButton::clicked, this, [this, kind] { emit editorRequested(kind); });
        m_editorAreas[kindIndex(kind)] = hot;
    }
    // The labels lie over their hot areas and let the mouse through to them. A plate in the art
    // ends 3 pixels short of its panel's edge however long its label, so the labels share the
    // largest size at which each fits its plate. Unhinted text keeps its width at every scale:
    // what fits here fits on any screen.
    QFont labelFont = small;
    labelFont.setHintingPreference(QFont::PreferNoHinting);
    const auto fits = [&](PageKind kind) {
        const PageFormat &format = pageFormat(kind);
        return QFontMetricsF(labelFont).horizontalAdvance(labelOf(kind)) <=
            format.hotArea.right() - 3 - format.labelAt.x() - 3;
    };
    while (!std::all_of(kEditedKinds.begin(), kEditedKinds.end(), fits) &&
           labelFont.pointSizeF() > 6)
        labelFont.setPointSizeF(labelFont.pointSizeF() - 0.25);
    // Palettes rather than style sheets: the first style sheet costs the start 3 ms.
    QPalette white = palette();
    white.setColor(QPalette::WindowText, Qt::white);
    for (const PageKind kind : kEditedKinds) {
        auto *label = new QLabel(labelOf(kind), this);
        label->setPalette(white);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->setFont(labelFont);
        label->move(pageFormat(kind).labelAt);
        label->adjustSize();
    }

    // A readout set into the middle of the bar's track, clear of the lit marks at its ends.
    m_status = new QLabel(this);
    m_status->setObjectName(u"status"_s);
    m_status->setGeometry(150, 301, 236, 18);
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setAccessibleDescription(u"The table file loaded and its pages not saved"_s);
    m_status->setPalette(white);
    m_status->setContentsMargins(1, 1, 1, 1); // inside its frame, which paintEvent draws

    m_dragStrip = new DragStrip({ 24, 0, 457, 25 }, this);
    m_menuArea = new HotArea(u"Main menu"_s, { 7, 7, 16, 16 }, this);
    m_minimiseArea = new HotArea(u"Minimize"_s, { 483, 7, 16, 16 }, this);
    m_closeArea = new HotArea(u"Close"_s, { 502, 7, 16, 16 }, this);
    connect(m_menuArea, &QAbstractButton::clicked, this, &MainWindow::openMainMenu);
    connect(m_minimiseArea, &QAbstractButton::clicked, this, &QWidget::showMinimized);
    connect(m_closeArea, &QAbstractButton::clicked, this, &MainWindow::exitRequested);

    // Each picture's twin drawn at twice the size is added where some screen is scaled, and read
    // only there.
    QIcon glyph = pictureIcon(u":/art/about.png"_s);
    addPicture(glyph, u":/art/about-disabled.png"_s, QIcon::Disabled);
    m_about = new IconButton(u"About"_s, glyph, { 496, 296, 25, 25 }, this);
    connect(m_about, &QAbstractButton::clicked, this, &MainWindow::aboutRequested);
    m_webLink =
        new IconButton(u"Website"_s, pictureIcon(u":/art/weblink.png"_s), { 8, 303, 52, 16 }, this);
    connect(m_webLink, &QAbstractButton::clicked, this, &MainWindow::webSiteRequested);

    m_menu = new QMenu(this);
    const auto item = [this](const char *name, const QString &text, auto signal) {
        QAction *action = m_menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, signal);
    };
    item("Newtablefile1", u"&New table file"_s, &MainWindow::newTableRequested);
    item("Loadtablefile1", u"&Load table file..."_s, &MainWindow::loadTableRequested);
    item("Savetablefile1", u"&Save table file..."_s, &MainWindow::saveTableRequested);
    item("Checktable1", u"Check &table"_s, &MainWindow::checkTableRequested);
    m_menu->addSeparator()->setObjectName(u"N1"_s);
    item("Checkfornewversions1", u"&Check for new versions..."_s,
         &MainWindow::checkForNewVersionsRequested);
    m_menu->addSeparator()->setObjectName(u"N2"_s);
    item("Exit1", u"E&xit"_s, &MainWindow::exitRequested);
}

HotArea &MainWindow::hotArea(PageKind kind) const
{
    return *m_editorAreas[kindIndex(kind)];
}

void MainWindow::setEditorAvailable(PageKind kind, bool available)
{
    hotArea(kind).setEnabled(available);
}

void MainWindow::openMainMenu()
{
    m_menu->popup(menuPoint(frameGeometry(), size(), m_menuArea->geometry()));
}

void MainWindow::setStatus(const QString &text)
{
    const int room = m_status->contentsRect().width() - 8;
    m_status->setText(m_status->fontMetrics().elidedText(text, Qt::ElideMiddle, room));
    m_status->setToolTip(text);
    m_status->setAccessibleName(text);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_ending) {
        event->accept();
        return;
    }
    event->ignore();
    emit exitRequested();
}

// A screen scaled by 1.5 or more gets the art drawn at twice the size, scaled down smoothly
// rather than the small art enlarged; it is read only there, so other starts pay nothing for it.
const QPixmap &MainWindow::background()
{
    const bool sharp = devicePixelRatioF() > 1;
    QPixmap &art = sharp ? m_sharpBackground : m_background;
    if (art.isNull()) {
        const bool read = m_reading.isValid() && m_readingSharp == sharp;
        art = QPixmap::fromImage(read ? m_reading.result() : readPicture(backgroundPath(sharp)));
        if (read)
            m_reading = {};
    }
    return art;
}

void MainWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap &art = background();
    if (art.isNull())
        painter.fillRect(rect(), QColor(20, 24, 32));
    else
        painter.drawPixmap(0, 0, art);
    // The status readout's frame, set into the middle of the bar's track.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(44, 48, 55));
    painter.setBrush(QColor(9, 12, 16));
    painter.drawRoundedRect(QRectF(m_status->geometry()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}
