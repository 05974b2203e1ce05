#include "about/frmabout.h"

#include "app/pictures.h"
#include "platform/application_title.h"
#include "platform/twips_geometry.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

// The client area on the screen, in twips: where every opening puts the box.
constexpr float kLeft = 2340.0f;
constexpr float kTop = 1935.0f;
constexpr float kWidth = 3210.0f;
constexpr float kHeight = 2775.0f;

QLabel* makeLabel(QWidget* parent, const char* name, bool blackText)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (blackText) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    }
    return label;
}

// One line of the etched rule: a strip of plain colour.
QFrame* makeRuleLine(QWidget* parent, const char* name, const QColor& colour)
{
    auto* line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    return line;
}

} // namespace

frmAbout::frmAbout()
    : QDialog(nullptr,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setModal(false);
    // Closing the About box never ends the program, even if it is the last window shown.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowIcon(globePicture());
    placeInTwips(this, kLeft, kTop, kWidth, kHeight);
    setFixedSize(size());
    setupControls();
    showDesignTexts();
}

frmAbout::~frmAbout() = default;

void frmAbout::setupControls()
{
    cmdOK = new QPushButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    // Enter presses it as the default button; Esc and the close box end the same way.
    cmdOK->setDefault(true);
    placeInTwips(cmdOK, 2640, 2160, 420, 345);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    lblDescription = makeLabel(this, "lblDescription", true);
    placeInTwips(lblDescription, 120, 840, 2925, 930);
    lblDisclaimer = makeLabel(this, "lblDisclaimer", true);
    placeInTwips(lblDisclaimer, 120, 2145, 2415, 465);
    lblTitle = makeLabel(this, "lblTitle", true);
    placeInTwips(lblTitle, 120, 120, 2805, 240);
    lblVersion = makeLabel(this, "lblVersion", false);
    placeInTwips(lblVersion, 120, 480, 2925, 225);

    // Grey over white: a groove cut into the face of the box.
    Line1[1] = makeRuleLine(this, "Line1_1", QColor(128, 128, 128));
    placeInTwips(Line1[1], 90, 1965, 3120 - 90, 15);
    Line1[0] = makeRuleLine(this, "Line1_0", Qt::white);
    placeInTwips(Line1[0], 105, 1980, 3120 - 105, 30);
}

void frmAbout::showDesignTexts()
{
    setWindowTitle(QStringLiteral("About MyApp"));
    cmdOK->setText(QStringLiteral("OK"));
    lblTitle->setText(QStringLiteral("Application Title"));
    lblVersion->setText(QStringLiteral("Version"));
    lblDescription->setText(QStringLiteral("App Description"));
    lblDisclaimer->setText(QStringLiteral("Warning: ..."));
}

void frmAbout::showLoaded()
{
    if (loaded_) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
        return;
    }
    Form_Load();
    loaded_ = true;
    // The client area, not the frame, goes back to its place, wherever the box was moved.
    placeInTwips(this, kLeft, kTop, kWidth, kHeight);
    show();
    raise();
    activateWindow();
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About ") + applicationTitle());
    lblVersion->setText(QStringLiteral("Version ") + applicationVersion());
    lblTitle->setText(applicationTitle());
    lblDescription->setText(
        QStringLiteral("This program simulates network activity to keep your Internet connection alive."));
    lblDisclaimer->setText(QStringLiteral("Warning: no warranty. You answer for the traffic it sends."));
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::done(int result)
{
    QDialog::done(result);
    // A closed box keeps no texts: the next opening loads them afresh.
    loaded_ = false;
    showDesignTexts();
}
