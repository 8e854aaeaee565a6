// Several processes on one store file: concurrent writers lose nothing, and a
// writer killed at any moment leaves a file that parses, each value holding
// either its old or its new content.

#include <spawn.h>
#include <sys/wait.h>

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <map>
#include <optional>
#include <random>

#include "platform/registry/document.h"
#include "platform/registry/store.h"
#include "writer_values.h"

extern char** environ;

namespace {

const std::string kFullKey = std::string("HKEY_CURRENT_USER\\") + writer::kKey;

pid_t spawnWriter(const std::vector<std::string>& args) {
  std::vector<std::string> all{TANDEO_REGISTRY_WRITER};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  argv.reserve(all.size() + 1);
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

int waitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

std::optional<registry::Document> load(const QString& path, QString& problem) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return registry::Document{};
  auto parsed = registry::Document::parse(f.readAll().toStdString());
  if (!parsed) {
    problem = QString("line %1: %2")
                  .arg(parsed.error().line)
                  .arg(QString::fromStdString(parsed.error().reason));
    return std::nullopt;
  }
  return std::move(*parsed);
}

// The round whose value `value` would be in iteration `iteration`, if any.
std::optional<int> roundOf(int iteration, int slot, const registry::Value& value) {
  int round = -1;
  if (slot % 2 == 1) {
    if (auto n = value.asDword()) round = *n - iteration * 100000;
  } else {
    const std::string text = value.bytesAsString();
    const std::string head = "it" + std::to_string(iteration) + "-r";
    if (text.rfind(head, 0) == 0) round = std::atoi(text.c_str() + head.size());
  }
  if (round < 0 || round >= 100000) return std::nullopt;
  if (writer::churnValue(iteration, round, slot).second != value) return std::nullopt;
  return round;
}

}  // namespace

class ProcessesTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void twoWritersLoseNothing();
  void killedWriterLeavesOldOrNewValues();

 private:
  QString file() const { return dir_->path() + "/cfg/Velmora/user.reg"; }
  std::unique_ptr<QTemporaryDir> dir_;
};

void ProcessesTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
}

void ProcessesTest::twoWritersLoseNothing() {
  constexpr int kCount = 1000;
  const pid_t a = spawnWriter({file().toStdString(), "distinct", "a", std::to_string(kCount)});
  const pid_t b = spawnWriter({file().toStdString(), "distinct", "b", std::to_string(kCount)});
  QVERIFY(a > 0 && b > 0);
  const int statusA = waitFor(a);
  const int statusB = waitFor(b);
  QVERIFY(WIFEXITED(statusA) && WEXITSTATUS(statusA) == 0);
  QVERIFY(WIFEXITED(statusB) && WEXITSTATUS(statusB) == 0);

  QString problem;
  const auto doc = load(file(), problem);
  QVERIFY2(doc, qPrintable(problem));
  std::size_t values = 0;
  for (const auto& section : doc->sections()) values += section.entries.size();
  QCOMPARE(values, std::size_t(2 * kCount));
  for (const std::string prefix : {"a", "b"}) {
    for (int i = 0; i < kCount; ++i) {
      const std::string name = prefix + "-" + std::to_string(i);
      const registry::Value* value = doc->find(kFullKey, name);
      QVERIFY2(value, name.c_str());
      QVERIFY2(*value == writer::distinctValue(prefix, i), name.c_str());
    }
  }
}

void ProcessesTest::killedWriterLeavesOldOrNewValues() {
  constexpr int kKills = 1000;
  // Up to about four writes' time: most kills land inside a write.
  constexpr int kMaxDelayMicros = 6000;
  const auto seed = std::random_device{}();
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delay(0, kMaxDelayMicros);
  qInfo("seed %u", seed);

  std::map<int, registry::Value> last;
  int changedIterations = 0;
  for (int iteration = 0; iteration < kKills; ++iteration) {
    const pid_t pid = spawnWriter(
        {file().toStdString(), "churn", std::to_string(iteration), std::to_string(delay(random))});
    QVERIFY(pid > 0);
    const int status = waitFor(pid);
    QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL,
             qPrintable(QString("writer ended with status %1").arg(status)));

    QString problem;
    const auto doc = load(file(), problem);
    QVERIFY2(doc, qPrintable(QString("iteration %1: %2").arg(iteration).arg(problem)));
    bool changed = false;
    for (int slot = 0; slot < writer::kSlots; ++slot) {
      const std::string name = "slot" + std::to_string(slot);
      const registry::Value* value = doc->find(kFullKey, name);
      const auto old = last.find(slot);
      if (!value) {
        QVERIFY2(old == last.end(),
                 qPrintable(QString("iteration %1 lost %2").arg(iteration).arg(name.c_str())));
        continue;
      }
      if (old != last.end() && old->second == *value) continue;
      QVERIFY2(
          roundOf(iteration, slot, *value),
          qPrintable(
              QString("iteration %1: %2 is neither old nor new").arg(iteration).arg(name.c_str())));
      last[slot] = *value;
      changed = true;
    }
    changedIterations += changed ? 1 : 0;
  }
  qInfo("%d of %d killed writers had changed something", changedIterations, kKills);
  QVERIFY(changedIterations > 0);

  // Nothing was ever taken for damaged, and the next write sweeps up what the
  // killed writers left half-done.
  registry::Store store(file().toStdString());
  QVERIFY(store.setValue({kFullKey}, "final", registry::Value::dword(1)));
  const QDir folder(QFileInfo(file()).path());
  const QString temporaries = QString::fromLatin1(registry::kTempPrefix) + '*';
  QCOMPARE(folder.entryList({temporaries, "*.corrupt-*"}, QDir::Files | QDir::Hidden),
           QStringList());
}

QTEST_APPLESS_MAIN(ProcessesTest)
#include "processes_test.moc"
