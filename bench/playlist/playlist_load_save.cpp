// Opens and saves a playlist of 32,767 entries through the window's own handlers, with
// the window shown, and prints how long each took. The outside world is faked as in
// the tests, so the figures are the program's own work plus the real disk.
//
//   playlist_load_save [REPEATS]

#include "app/form2.h"
#include "playlist/playlist_capacity.h"
#include "playlist/playlist_format.h"
#include "support/fake_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double milliseconds(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void report(const char* what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-52s median %8.1f ms   best %8.1f ms   worst %8.1f ms\n", what, times[times.size() / 2],
                times.front(), times.back());
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    QStringList entries;
    for (int row = 0; row < kPlaylistCapacity; ++row)
        entries
            << QStringLiteral("https://www.example.com/section-%1/page-%2.html?from=playlist").arg(row % 97).arg(row);
    const QByteArray bytes = playlistBytesFromEntries(entries);

    QTemporaryDir folder;
    const QString source = folder.filePath(QStringLiteral("full.txt"));
    QFile file(source);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 1;
    file.close();

    FakePlatform fakes;
    form2 window(fakes.platform());
    window.show();
    QApplication::processEvents();

    std::vector<double> opens, saves;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        window.lstPlayList->clear();
        QApplication::processEvents();
        fakes.dialogs.setNextFileName(source);
        opens.push_back(milliseconds([&] {
            window.cmdOpen_Click();
            QApplication::processEvents();
        }));
        if (window.lstPlayList->count() != kPlaylistCapacity || !fakes.messages.shown.isEmpty())
            return 2;

        fakes.dialogs.setNextFileName(folder.filePath(QStringLiteral("saved-%1.txt").arg(repeat)));
        saves.push_back(milliseconds([&] { window.cmdSave_Click(); }));
    }

    QFile saved(folder.filePath(QStringLiteral("saved-0.txt")));
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll() != bytes)
        return 3;

    std::printf("playlist of %d entries, %lld bytes, %d runs each\n", kPlaylistCapacity,
                static_cast<long long>(bytes.size()), repeats);
    report("Open (read, decode, fill the list box, repaint)", opens);
    report("Save (read the list box, write, sync, rename)", saves);
    return 0;
}
