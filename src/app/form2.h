#pragma once

#include "platform/platform.h"
#include "playlist/playlist_encoding.h"

#include <QMainWindow>
#include <QPointer>
#include <QWindow>

#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class FullScreen;
class UrlEntryBox;
class WebBrowser;
class PlaylistSource;
class Rotation;
class ScreenHours;
class WindowRotationPanel;
class frmAbout;

// The main window: the control panel, the embedded browser, the menus and the
// state a browsing run shares with every handler. Each subsystem defines its
// handlers in a file of its own in app/; this file only declares them.
class form2 final : public QMainWindow {
    Q_OBJECT
    friend class WindowRotationPanel;

    // First, since the run's state below is the rotation's own.
    std::unique_ptr<WindowRotationPanel> rotationPanel_;
    std::unique_ptr<Rotation> rotation_;

public:
    explicit form2(const Platform& platform, QWidget* parent = nullptr);
    ~form2() override;

    // The walk through the playlist that a run drives, for whatever else steers it.
    Rotation& rotation() const { return *rotation_; }
    // The hours the screen is on, when the options give them.
    ScreenHours* screenHours() const { return screenHours_.get(); }
    // The dwell wait.
    void pause();

    // Window-level state, shared by a run and every handler that runs during it. Stop,
    // the passes completed and the dwell's stage are the rotation's.
    QString PlaylistPath;
    qint32 SaveIndex = 0;
    QString& StopFlag;
    qint64& PassCount;
    QString AutoStartFlag;
    QString CmdLine;
    QString OptFile;
    QString OptRandom;
    QString OptInterval;
    qint32& PauseStage;

    // The controls, as designed. Positions and sizes are set in twips (setupControls).
    QWidget* clientArea = nullptr;
    QGroupBox* Frame1 = nullptr;
    QPushButton* start_button = nullptr;
    QPushButton* stop_button = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdSave = nullptr;
    QGroupBox* fraInterval = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txt_interval = nullptr;
    QCheckBox* chk_random = nullptr;
    QGroupBox* FraCurrent = nullptr;
    QLineEdit* txt_url1 = nullptr;
    QLineEdit* url1_count_txt = nullptr;
    QGroupBox* FraPlaylist = nullptr;
    QListWidget* lstPlayList = nullptr;
    QPushButton* cmdRemoveItem = nullptr;
    QPushButton* cmdAddItem = nullptr;
    UrlEntryBox* txtItemToAdd = nullptr;
    QCheckBox* ckCache = nullptr;
    QCheckBox* ckExit = nullptr;
    QCheckBox* ckLoop = nullptr;
    QGroupBox* Frame2 = nullptr;
    WebBrowser* WebBrowser1 = nullptr;

    // The menus.
    QMenu* File = nullptr;
    QAction* Start = nullptr;
    QAction* Stop = nullptr;
    QAction* Load = nullptr;
    QAction* Save = nullptr;
    QAction* mnuHide = nullptr;
    QAction* Exit = nullptr;
    QMenu* Help = nullptr;
    QAction* Contents = nullptr;
    QAction* License = nullptr;
    QAction* About = nullptr;

    // Handlers, named by control and event. Public so that tests can run them as the
    // window system would.

    // app/run_control.cpp
    void start_button_Click();
    void Start_Click();
    void stop_button_Click();
    void Stop_Click();
    void Exit_Click();
    void Form_QueryUnload();
    void Form_Unload();
    void chk_random_Click();
    void ckCache_Click();
    void ckExit_Click();

    // app/startup.cpp
    void Form_Load();
    void Form_Activate();

    // app/playlist_editing.cpp, app/playlist_open_save.cpp
    void cmdAddItem_Click();
    void cmdRemoveItem_Click();
    void txtItemToAdd_DragDrop(QWidget* source);
    void txtItemToAdd_OLEDragDrop(const QStringList& entries);
    void cmdOpen_Click();
    void cmdSave_Click();
    void Load_Click();
    void Save_Click();

    // app/window_layout.cpp, app/compact_view.cpp
    void Form_Resize();
    void mnuHide_Click();
    void WebBrowser1_DocumentComplete();

    // app/about_menu.cpp, app/help_pages.cpp
    void Contents_Click();
    void License_Click();
    void About_Click();
    frmAbout* aboutBox() const { return aboutBox_.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setupControls();
    void setupMenus();
    void setupTabOrder();
    void connectHandlers();
    void watchActivations();

    // app/run_control.cpp
    void BrowseList();
    void EndProgram();
    void AutoStart();
    void ParseCommandLine();
    void applyLongOptions();
    // What is wrong with the /t= value, for standard error; empty when nothing is.
    static QString intervalOptionProblem(const QString& interval);
    // Each returns what the user must be told (a failure, lines left out), or nothing.
    [[nodiscard]] QString LoadPlaylist();
    [[nodiscard]] QString SavePlaylist();
    // The playlist named at start, when it is an address or followed (app/playlist_follow.cpp).
    [[nodiscard]] QString loadPlaylistAtStart();
    [[nodiscard]] QString takePlaylistFromSource();
    void followPlaylistSource();
    bool followsPlaylistSource() const;
    void ArrangeControls();
    // app/run_control.cpp
    void keepScreenAwake(bool awake);
    void lockEditing(bool locked);
    // app/screen_hours_control.cpp
    void followScreenHours();
    void setScreenDark(bool dark);
    void showNoPlaylistCard();

    Platform platform_;
    // How the playlist's file was read, so a save writes the bytes other programs read.
    PlaylistEncoding playlistEncoding_ = PlaylistEncoding::Utf8;
    std::unique_ptr<frmAbout> aboutBox_;
    std::unique_ptr<PlaylistSource> playlistSource_;
    // Why the playlist named at start could not be read, as last told: a full screen shows
    // it on a card, as nobody may be there to read standard error.
    QString playlistProblem_;
    bool shownBefore_ = false;
    QPointer<QWindow> lastOtherFocusWindow_;
    // A too-small warning is waiting to be shown or is open: one at a time.
    bool resizeWarningPending_ = false;
    // Runs under way, nested ones included: the screen may sleep when the last one ends.
    int runsInProgress_ = 0;
    // The desktop's cursor blink, while a run holds it still.
    std::optional<int> cursorFlashTime_;
    std::unique_ptr<FullScreen> fullScreen_;
    std::unique_ptr<ScreenHours> screenHours_;
    // A run wants the screen kept awake; outside the screen's hours it is let go even so.
    bool screenAwakeWanted_ = false;
};
