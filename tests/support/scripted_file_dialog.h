#pragma once
// The Open dialog answered from a queue: each answer is a chosen file, or a
// cancel, which reports the request's file name unchanged as the real dialog
// does. Every request is recorded (file name, default extension, title). A
// dialog with no answer queued fails the running test and is cancelled.

#include <QList>
#include <QString>
#include <QTest>
#include <deque>
#include <optional>

#include "platform/ui/openfiledialog.h"

namespace testsupport {

class ScriptedFileDialog final : public ui::OpenFileDialog {
 public:
  void choose(const QString& fileName) { answers_.emplace_back(fileName); }
  void cancel() { answers_.emplace_back(std::nullopt); }

  const QList<ui::OpenFileRequest>& requests() const { return requests_; }
  qsizetype pendingAnswers() const { return static_cast<qsizetype>(answers_.size()); }

  QString showOpen(const ui::OpenFileRequest& request) override {
    requests_.append(request);
    if (answers_.empty()) {
      QTest::qFail("Open dialog shown with no answer queued", __FILE__, __LINE__);
      return request.fileName;
    }
    const std::optional<QString> answer = answers_.front();
    answers_.pop_front();
    return answer.value_or(request.fileName);
  }

 private:
  QList<ui::OpenFileRequest> requests_;
  std::deque<std::optional<QString>> answers_;
};

}  // namespace testsupport
