#pragma once

#include <QDialog>

#include <array>

class QFrame;
class QLabel;
class QPushButton;

// The About box: the program's title, version, purpose and a short warning, and one
// button that closes it. One instance serves the whole program and is kept after it
// is closed; each opening loads its texts afresh.
class frmAbout final : public QDialog {
    Q_OBJECT

public:
    // A top-level window of its own: the main window stays usable beside it.
    frmAbout();
    ~frmAbout() override;

    // Shows the box without blocking anyone. A closed box is loaded first; an open one
    // only comes to the front.
    void showLoaded();
    bool isLoaded() const { return loaded_; }

    void Form_Load();
    void cmdOK_Click();

    QPushButton* cmdOK = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    // The etched rule: [1] the grey line, [0] the white line just below it.
    std::array<QFrame*, 2> Line1{};

    // Closing by any way (OK, Enter, Esc, the close box) ends here.
    void done(int result) override;

private:
    void setupControls();
    void showDesignTexts();

    bool loaded_ = false;
};
