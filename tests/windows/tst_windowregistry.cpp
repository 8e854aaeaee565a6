// Each window exists once: created on first use with its load rule run right
// after it is known, shown again rather than created again, reaching its
// siblings and the program context through the registry; and the folders
// main() puts into that context.

#include <QCoreApplication>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include "windows/programcontext.h"
#include "windows/windowregistry.h"

namespace {

struct Counts {
  int created = 0;
  int loaded = 0;
};

class Browser : public QWidget {};
class Preview : public QWidget {
 public:
  Browser* sibling = nullptr;
};

}  // namespace

class WindowRegistryTest : public QObject {
  Q_OBJECT
 private slots:
  void createdOnceLoadedOnceShownAgain() {
    windows::WindowRegistry registry{windows::ProgramContext{}};
    Counts counts;
    bool sawItselfWhileLoading = false;
    registry.define<Browser>(
        [&counts](windows::WindowRegistry&) {
          ++counts.created;
          return new Browser;
        },
        [&](Browser& window) {
          ++counts.loaded;
          sawItselfWhileLoading = registry.find<Browser>() == &window;
          QCOMPARE(&registry.get<Browser>(), &window);
        });
    QVERIFY(!registry.find<Browser>());
    QCOMPARE(counts.created, 0);

    Browser& first = registry.show<Browser>();
    QVERIFY(first.isVisible());
    QVERIFY(sawItselfWhileLoading);
    first.close();
    QVERIFY(!first.isVisible());
    Browser& again = registry.show<Browser>();
    QCOMPARE(&again, &first);
    QVERIFY(again.isVisible());
    QCOMPARE(counts.created, 1);
    QCOMPARE(counts.loaded, 1);
  }

  void siblingsComeThroughTheRegistry() {
    windows::WindowRegistry registry{windows::ProgramContext{}};
    registry.define<Browser>([](windows::WindowRegistry&) { return new Browser; });
    registry.define<Preview>(
        [](windows::WindowRegistry&) { return new Preview; },
        [&registry](Preview& preview) { preview.sibling = &registry.get<Browser>(); });
    Preview& preview = registry.get<Preview>();
    QVERIFY(preview.sibling);
    QCOMPARE(registry.find<Browser>(), preview.sibling);
    QVERIFY(!preview.isVisible());
  }

  void aDeletedWindowIsMadeAndLoadedAnew() {
    windows::WindowRegistry registry{windows::ProgramContext{}};
    Counts counts;
    registry.define<Browser>(
        [&counts](windows::WindowRegistry&) {
          ++counts.created;
          return new Browser;
        },
        [&counts](Browser&) { ++counts.loaded; });
    delete &registry.get<Browser>();
    QVERIFY(!registry.find<Browser>());
    registry.get<Browser>();
    QCOMPARE(counts.created, 2);
    QCOMPARE(counts.loaded, 2);
  }

  void theRegistryDeletesTheWindowsWithoutParent() {
    QPointer<QWidget> topLevel;
    QWidget owner;
    QPointer<QWidget> child;
    {
      windows::WindowRegistry registry{windows::ProgramContext{}};
      registry.define<Browser>([](windows::WindowRegistry&) { return new Browser; });
      registry.define<Preview>([&owner](windows::WindowRegistry&) {
        auto* preview = new Preview;
        preview->setParent(&owner);
        return preview;
      });
      topLevel = &registry.get<Browser>();
      child = &registry.get<Preview>();
    }
    QVERIFY(!topLevel);
    QVERIFY(child);
  }

  void windowsReachTheContextTheyWereGiven() {
    int ended = 0;
    windows::WindowRegistry registry{windows::ProgramContext{
        .cameras = nullptr,
        .prompter = nullptr,
        .settings = Module1(std::filesystem::path("/sandbox/user.reg")),
        .endProgram = [&ended] { ++ended; },
        .folders = {QStringLiteral("/opt/velmora"), QStringLiteral("/sandbox/cache")},
        .drives = {},
    }};
    QString seenStore;
    registry.define<Browser>([&seenStore](windows::WindowRegistry& r) {
      seenStore = QString::fromStdString(r.context().settings.storeFile().string());
      r.context().endProgram();
      return new Browser;
    });
    registry.get<Browser>();
    QCOMPARE(seenStore, QStringLiteral("/sandbox/user.reg"));
    QCOMPARE(ended, 1);
    QCOMPARE(registry.context().folders.cache, QStringLiteral("/sandbox/cache"));
  }

  void programFoldersFollowTheRun() {
    const QByteArray saved = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", "/tmp/some-cache");
    const rules::ProgramFolders folders = windows::programFoldersOfThisRun();
    qputenv("XDG_CACHE_HOME", saved);
    QCOMPARE(folders.cache, QStringLiteral("/tmp/some-cache/Velmora"));
    QCOMPARE(folders.program, QCoreApplication::applicationDirPath());
  }
};

QTEST_MAIN(WindowRegistryTest)
#include "tst_windowregistry.moc"
