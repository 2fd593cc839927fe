// Figures of the directory tree views: expanding a folder of 20,000
// subfolders and selecting the last one (target under 0.3 s), and how long
// the window thread is kept from its events while a worker raises 10,000
// file-added notices, then 10,000 directory-added ones (target: never more
// than 50 ms at a time).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <thread>

#include "model/u_bwfsdrive.h"
#include "ui/trees/u_bwdirtv.h"
#include "ui/common/u_pictures.h"

namespace {

constexpr int SubfolderCount = 20000;
constexpr int NoticeCount = 10000;

void MakeSubfolders(const QString& folder)
{
    QDir dir;
    dir.mkpath(folder);
    for (int index = 0; index < SubfolderCount; ++index)
        dir.mkdir(QStringLiteral("%1/sub%2").arg(folder).arg(index, 5, 10, QChar('0')));
}

double ExpandAndSelectLast(TBWDirTV& tree, TBWDirectory* big)
{
    tree.AddDirectory(big);
    tree.Rebuild();
    QApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    const QModelIndex node = tree.model()->index(0, 0);
    tree.expand(node);
    tree.SelectNode(tree.model()->index(tree.model()->rowCount(node) - 1, 0, node));
    QApplication::processEvents();
    return clock.nsecsElapsed() / 1e6;
}

// The longest time between two turns of the window thread's event loop
// while raise runs on a worker thread and the notices it queued are handled.
double LongestBlock(const std::function<void()>& raise)
{
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    clock.start();
    tick.start();
    std::thread worker([&] {
        raise();
        // Queued after every notice, so the loop ends once they are handled.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    return longest / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TPictureModules pictures;
    QTemporaryDir folder;
    const std::string root = folder.path().toStdString() + "/";
    std::printf("making %d folders...\n", SubfolderCount);
    MakeSubfolders(folder.path() + "/big");
    QDir().mkpath(folder.path() + "/storm");

    TMplManager manager;
    manager.SetFolder(root + "lists");
    TBWFSDrive modelRoot(manager, [&root] { return std::vector<TBWDrive>{{root, dkFixed, "BENCH", "/dev/null"}}; });
    TBWDirTV tree(nullptr, &modelRoot);
    tree.SetImages(&dmCommonPics->dirIL);
    tree.resize(300, 600);
    tree.show();

    const double expansion = ExpandAndSelectLast(tree, modelRoot.FindDir(root + "big/", false));
    std::printf("expand a folder of %d subfolders and select the last: %.1f ms (target < 300 ms)\n", SubfolderCount,
                expansion);

    TBWDirectory* storm = modelRoot.FindDir(root + "storm/", false);
    const double files = LongestBlock([storm] {
        for (int index = 0; index < NoticeCount; ++index)
            storm->Files()->AddFile("file" + std::to_string(index) + ".mp3");
    });
    std::printf("%d file-added notices from a worker: window thread blocked at most %.1f ms (target < 50 ms)\n",
                NoticeCount, files);
    const double dirs = LongestBlock([storm] {
        for (int index = 0; index < NoticeCount; ++index)
            storm->AddSubDirTouch("dir" + std::to_string(index));
    });
    std::printf("%d directory-added notices from a worker: window thread blocked at most %.1f ms (target < 50 ms)\n",
                NoticeCount, dirs);
    return 0;
}
