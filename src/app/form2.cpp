#include "app/form2.h"

#include "about/frmabout.h"
#include "app/full_screen.h"
#include "app/pictures.h"
#include "app/state_texts.h"
#include "app/window_rotation_panel.h"
#include "browse/rotation.h"
#include "browse/web_browser.h"
#include "platform/application_title.h"
#include "platform/process_end.h"
#include "platform/service_notifier.h"
#include "steer/screen_hours.h"
#include "platform/twips.h"
#include "platform/twips_geometry.h"
#include "playlist/playlist_entry_delegate.h"
#include "playlist/playlist_source.h"
#include "playlist/url_entry_box.h"
#include "steer/pause_on_input.h"

#include <QApplication>

#include <cstdio>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>

#include <limits>

namespace {

// Client area of the window as designed: 10560 × 7410 twips.
constexpr float kDesignClientWidth = 10560.0f;
constexpr float kDesignClientHeight = 7410.0f;

QPushButton* makePictureButton(QWidget* parent, const char* name, const QIcon& picture, const QString& tooltip)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(picture);
    button->setIconSize(QSize(32, 32));
    button->setToolTip(tooltip);
    return button;
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption = {})
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1String(name));
    return frame;
}

template <typename Control>
Control* named(Control* control, const char* name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

} // namespace

form2::form2(const Platform& platform, QWidget* parent)
    : QMainWindow(parent)
    , rotationPanel_(std::make_unique<WindowRotationPanel>(*this))
    , rotation_(std::make_unique<Rotation>(platform.pump, platform.clock, platform.random, *rotationPanel_))
    , StopFlag(rotation_->StopFlag)
    , PassCount(rotation_->PassCount)
    , PauseStage(rotation_->PauseStage)
    , platform_(platform)
{
    setObjectName(QStringLiteral("form2"));
    setWindowTitle(applicationTitle());
    setWindowIcon(globePicture());
    setupControls();
    setupMenus();
    setupTabOrder();
    connectHandlers();
    fullScreen_ = std::make_unique<FullScreen>(*this);
    followScreenHours();
    watchActivations();
    resize(twipsToPixels(kDesignClientWidth), twipsToPixels(kDesignClientHeight) + menuBar()->sizeHint().height());
    Form_Load();
}

form2::~form2()
{
    // The blink is the desktop's, for every window of the application.
    if (cursorFlashTime_)
        QApplication::setCursorFlashTime(*cursorFlashTime_);
}

void form2::setupControls()
{
    clientArea = named(new QWidget(this), "clientArea");
    setCentralWidget(clientArea);
    clientArea->installEventFilter(this);

    Frame1 = makeFrame(clientArea, "Frame1");
    placeInTwips(Frame1, 0, 60, 10515, 1875);

    start_button = makePictureButton(Frame1, "start_button", startPicture(), QStringLiteral("Start Browsing"));
    placeInTwips(start_button, 120, 180, 615, 675);
    stop_button = makePictureButton(Frame1, "stop_button", stopPicture(), QStringLiteral("Stop Browsing"));
    placeInTwips(stop_button, 795, 180, 615, 675);
    cmdOpen = makePictureButton(Frame1, "cmdOpen", openPicture(), QStringLiteral("Load Settings."));
    placeInTwips(cmdOpen, 1485, 180, 615, 675);
    cmdSave = makePictureButton(Frame1, "cmdSave", savePicture(), QStringLiteral("Save Settings."));
    placeInTwips(cmdSave, 2160, 180, 615, 675);

    fraInterval = makeFrame(Frame1, "fraInterval");
    placeInTwips(fraInterval, 2880, 180, 2655, 735);
    Label1 = named(new QLabel(QStringLiteral("Interval"), fraInterval), "Label1");
    placeInTwips(Label1, 120, 255, 675, 255);
    txt_interval = named(new QLineEdit(QStringLiteral("30"), fraInterval), "txt_interval");
    placeInTwips(txt_interval, 780, 240, 495, 285);
    chk_random = named(new QCheckBox(kRandomOffCaption, fraInterval), "chk_random");
    placeInTwips(chk_random, 1320, 240, 1275, 255);

    FraCurrent = makeFrame(Frame1, "FraCurrent", QStringLiteral("Current URL"));
    placeInTwips(FraCurrent, 120, 960, 5415, 735);
    txt_url1 = named(new QLineEdit(FraCurrent), "txt_url1");
    txt_url1->setToolTip(QStringLiteral("Enter a URL here."));
    // A stamped address can be far longer than a line edit's default limit.
    txt_url1->setMaxLength(std::numeric_limits<int>::max());
    placeInTwips(txt_url1, 120, 255, 4155, 255);
    url1_count_txt = named(new QLineEdit(FraCurrent), "url1_count_txt");
    placeInTwips(url1_count_txt, 4440, 240, 555, 285);

    FraPlaylist = makeFrame(Frame1, "FraPlaylist");
    placeInTwips(FraPlaylist, 5640, 180, 4845, 1500);
    lstPlayList = named(new QListWidget(FraPlaylist), "lstPlayList");
    lstPlayList->setSelectionMode(QAbstractItemView::SingleSelection);
    lstPlayList->setUniformItemSizes(true);
    lstPlayList->setItemDelegate(new PlaylistEntryDelegate(lstPlayList));
    placeInTwips(lstPlayList, 120, 120, 3495, 840);
    cmdRemoveItem = named(new QPushButton(QStringLiteral("Remove"), FraPlaylist), "cmdRemoveItem");
    placeInTwips(cmdRemoveItem, 3840, 150, 795, 220);
    cmdAddItem = named(new QPushButton(QStringLiteral("Add"), FraPlaylist), "cmdAddItem");
    placeInTwips(cmdAddItem, 3840, 400, 795, 220);
    txtItemToAdd = named(new UrlEntryBox(FraPlaylist), "txtItemToAdd");
    txtItemToAdd->setMaxLength(std::numeric_limits<int>::max());
    placeInTwips(txtItemToAdd, 120, 1080, 3495, 315);
    ckCache = named(new QCheckBox(kNoCacheCaption, FraPlaylist), "ckCache");
    ckCache->setChecked(true);
    placeInTwips(ckCache, 3680, 720, 1025, 255);
    ckExit = named(new QCheckBox(QStringLiteral("Exit"), FraPlaylist), "ckExit");
    placeInTwips(ckExit, 3680, 940, 855, 255);
    ckLoop = named(new QCheckBox(QStringLiteral("Loop"), FraPlaylist), "ckLoop");
    ckLoop->setChecked(true);
    placeInTwips(ckLoop, 3680, 1180, 855, 255);

    Frame2 = makeFrame(clientArea, "Frame2");
    placeInTwips(Frame2, 0, 1980, 10515, 5295);
    WebBrowser1 = named(platform_.makeBrowser(Frame2), "WebBrowser1");
    WebBrowser1->setFocusPolicy(Qt::StrongFocus);
    placeInTwips(WebBrowser1, 60, 180, 10335, 4935);

    for (QGroupBox* frame : {Frame1, fraInterval, FraCurrent, FraPlaylist, Frame2})
        frame->setFocusPolicy(Qt::NoFocus);
}

void form2::setupMenus()
{
    auto addItem = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };

    File = menuBar()->addMenu(QStringLiteral("&File"));
    File->setObjectName(QStringLiteral("File"));
    Start = addItem(File, "Start", QStringLiteral("St&art"));
    Stop = addItem(File, "Stop", QStringLiteral("S&top"));
    File->addSeparator()->setObjectName(QStringLiteral("msep"));
    Load = addItem(File, "Load", QStringLiteral("&Open"));
    Save = addItem(File, "Save", QStringLiteral("&Save"));
    File->addSeparator()->setObjectName(QStringLiteral("mseperator2"));
    mnuHide = addItem(File, "mnuHide", QStringLiteral("&Hide"));
    File->addSeparator()->setObjectName(QStringLiteral("mseperator"));
    Exit = addItem(File, "Exit", QStringLiteral("E&xit"));

    Help = menuBar()->addMenu(QStringLiteral("&Help"));
    Help->setObjectName(QStringLiteral("Help"));
    Contents = addItem(Help, "Contents", QStringLiteral("&Contents"));
    License = addItem(Help, "License", QStringLiteral("&License"));
    Help->addSeparator()->setObjectName(QStringLiteral("msep2"));
    About = addItem(Help, "About", QStringLiteral("&About"));
}

void form2::setupTabOrder()
{
    const QList<QWidget*> order
        = {start_button, stop_button,  cmdOpen,    cmdSave,       WebBrowser1, url1_count_txt, txt_url1, chk_random,
           txt_interval, txtItemToAdd, cmdAddItem, cmdRemoveItem, lstPlayList, ckLoop,         ckExit,   ckCache};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void form2::connectHandlers()
{
    connect(start_button, &QPushButton::clicked, this, &form2::start_button_Click);
    connect(stop_button, &QPushButton::clicked, this, &form2::stop_button_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &form2::cmdOpen_Click);
    connect(cmdSave, &QPushButton::clicked, this, &form2::cmdSave_Click);
    connect(cmdAddItem, &QPushButton::clicked, this, &form2::cmdAddItem_Click);
    connect(cmdRemoveItem, &QPushButton::clicked, this, &form2::cmdRemoveItem_Click);
    // Enter in the entry box presses Add, and like a click does nothing while a run has
    // Add disabled.
    connect(txtItemToAdd, &QLineEdit::returnPressed, cmdAddItem, &QPushButton::click);
    // Queued, so the program the data came from is done with its drag before any message shows.
    connect(txtItemToAdd, &UrlEntryBox::entriesDroppedFromOutside, this, &form2::txtItemToAdd_OLEDragDrop,
            Qt::QueuedConnection);
    connect(txtItemToAdd, &UrlEntryBox::controlDropped, this, &form2::txtItemToAdd_DragDrop, Qt::QueuedConnection);
    // toggled, not clicked: a tick set by the program must flip the caption too.
    connect(chk_random, &QCheckBox::toggled, this, &form2::chk_random_Click);
    connect(ckCache, &QCheckBox::toggled, this, &form2::ckCache_Click);
    connect(ckExit, &QCheckBox::toggled, this, &form2::ckExit_Click);

    connect(Start, &QAction::triggered, this, &form2::Start_Click);
    connect(Stop, &QAction::triggered, this, &form2::Stop_Click);
    connect(Load, &QAction::triggered, this, &form2::Load_Click);
    connect(Save, &QAction::triggered, this, &form2::Save_Click);
    connect(mnuHide, &QAction::triggered, this, &form2::mnuHide_Click);
    connect(Exit, &QAction::triggered, this, &form2::Exit_Click);
    connect(Contents, &QAction::triggered, this, &form2::Contents_Click);
    connect(License, &QAction::triggered, this, &form2::License_Click);
    connect(About, &QAction::triggered, this, &form2::About_Click);

    connect(WebBrowser1, &WebBrowser::DocumentComplete, this, &form2::WebBrowser1_DocumentComplete);
    rotation_->setBrowser(WebBrowser1);
    rotation_->setPreloading(platform_.options.preload);
    if (platform_.options.pauseOnInputSeconds > 0)
        new PauseOnInput(WebBrowser1, *rotation_, platform_.options.pauseOnInputSeconds);
    connect(rotation_.get(), &Rotation::entryOnScreen, this, [this](int index, int count, const QString& address) {
        // The service manager's status counts the list's own entries from 1.
        if (platform_.service && index >= 0)
            platform_.service->showing(index + 1, count, address);
    });
    connect(rotation_.get(), &Rotation::settingUnreadable, this, [](const QString& entry, const QString& problem) {
        std::fprintf(stderr, "veltrase: entry '%s': %s; the list's own value is used\n",
                     qUtf8Printable(entry), qUtf8Printable(problem));
    });
    connect(WebBrowser1, &WebBrowser::cardShown, this, [this](const QString& reason) {
        if (platform_.service)
            platform_.service->cardShown(reason);
    });
}

bool form2::eventFilter(QObject* watched, QEvent* event)
{
    // W and H are the client area's: the layout follows its size, not the frame's.
    // Full screen, the pages have every pixel whatever the size, and no size is too small.
    if (watched == clientArea && event->type() == QEvent::Resize) {
        if (fullScreen_->active())
            fullScreen_->fill();
        else
            Form_Resize();
    }
    return QMainWindow::eventFilter(watched, event);
}

void form2::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
}
