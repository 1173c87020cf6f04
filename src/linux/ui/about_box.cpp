// SPDX-License-Identifier: MIT
#include "ui/about_box.h"

#include "host/qt_text.h"

#include "platform/platform.h"
#include "platform/shell.h"
#include "platform/window_service.h"
#include "ui/accessibility.h"
#include "ui/app_metadata.h"
#include "ui/classic_controls.h"
#include "ui/cursor_file.h"
#include "ui/twips.h"
#include "ui/window_placement.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>

namespace qni {

namespace {

// MS Sans Serif 12 pt, or the nearest sans-serif face this desktop has. The
// original is a bitmap face: full hinting fits the substitute to the pixel
// grid the same way, and keeps "Version: 1.0.0" inside its 97 pixels.
QFont boxFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(12);
    font.setWeight(QFont::Normal);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QLabel* label(QWidget* box, const char* name, const QString& caption, QRect geometry,
              Qt::Alignment alignment = Qt::AlignLeft)
{
    auto* l = new QLabel(box);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    l->setText(caption);
    l->setAlignment(alignment | Qt::AlignTop);
    l->setGeometry(geometry);
    return l;
}

} // namespace

void StyleLinkLabel(QLabel& label, const QString& pointerFile)
{
    QFont font = label.font();
    font.setUnderline(true);
    label.setFont(font);

    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label.setPalette(palette);

    label.setCursor(loadPointer(pointerFile));
}

AboutBox::AboutBox(const Platform& platform, const QString& programFolder)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      shell_(platform.shell)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    // A null icon of its own, or the box would show the application's.
    setWindowIcon(QIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    // The program ends with its main window, not with this box.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(twipsToPixels(4365), twipsToPixels(2970));
    setFont(boxFont());

    // Created in tab order. Only the button takes the focus.
    lblAbout = label(this, "lblAbout", kApplicationName, twipsRect(240, 120, 3375, 375));
    Label1 = label(this, "Label1", QStringLiteral("For Windows!"), twipsRect(2640, 480, 1575, 375), Qt::AlignRight);
    Label2 = label(this, "Label2", QStringLiteral("Version: 1.0.0"), twipsRect(240, 840, 1455, 375));
    Label3 = label(this, "Label3", QStringLiteral("Developed By: ") + kMakerName, twipsRect(240, 1200, 3615, 375));
    Label4 = label(this, "Label4", kMakerAddress, twipsRect(240, 1920, 3975, 375));
    cmdOK = new PushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsRect(3000, 2400, 1215, 375));
    // Not the default button: Escape does nothing, and Enter presses it only
    // because it has the focus.
    cmdOK->setAutoDefault(false);
    cmdOK->setDefault(false);
    cmdOK->setFocus();

    Label4->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

    // Read out as a dialog with all its lines; the link opens through its
    // accessible action as through a click.
    markAsDialog(*this);
    setAccessibleDescription(QStringList{lblAbout->text(), Label1->text(), Label2->text(), Label3->text(),
                                         Label4->text()}
                                 .join(QLatin1Char('\n')));
    markAsLink(*Label4);
    connect(Label4, &QLabel::linkActivated, this, [this] { Label4_Click(); });

    Form_Load(programFolder.isNull() ? QCoreApplication::applicationDirPath() : programFolder);
    // Task bars leave tool windows out by convention only; this says it
    // outright. Qt asks the window manager for resizing whatever the size
    // limits, so the border's offer is set here too, once the native window
    // exists. Only on X is the native id a window the service knows.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        platform.windows->keepOffTaskBar(winId());
        platform.windows->offerMoveAndCloseOnly(winId());
    }
}

void AboutBox::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Centred once, when it first appears.
    if (!centred_) {
        centred_ = true;
        centreOnScreen(*this);
    }
}

void AboutBox::Form_Load(const QString& programFolder)
{
    StyleLinkLabel(*Label4, QDir(programFolder).filePath(QStringLiteral("Hand.cur")));
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event)
{
    // A click is a press and a release of the left button over the link; a
    // double click is one click, not two.
    if (watched == Label4) {
        if (event->type() == QEvent::MouseButtonPress) {
            label4Pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const bool click = label4Pressed_ && mouse->button() == Qt::LeftButton &&
                               Label4->rect().contains(mouse->position().toPoint());
            label4Pressed_ = false;
            if (click)
                Label4_Click();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AboutBox::Label4_Click() { OpenWebPage(kMakerAddress); }

void AboutBox::OpenWebPage(const QString& address)
{
    shell_->open(fromQt(address));
}

void AboutBox::cmdOK_Click() { close(); }

AboutBox* showAboutBox(const Platform& platform, const QString& programFolder)
{
    static QPointer<AboutBox> box;
    // A closed box is on its way out (deleted on close): load a new one.
    if (box && !box->isVisible())
        box = nullptr;
    if (box) {
        box->raise();
    } else {
        box = new AboutBox(platform, programFolder);
        box->show();
    }
    box->activateWindow();
    return box;
}

} // namespace qni
