#pragma once
// The program's remembered values, read and written one at a time with no
// cache: every call opens the per-user store, does its one thing and closes it
// again. None of the four reports a failure; a read that finds nothing gives
// the empty text or 0 and each caller applies its own default, and a write
// that fails is dropped (and logged).
//
// A Module1 is built over the store file it works on: main() finds the
// user's own once at start-up (forUserProfile), a test hands in its sandbox's.

#include <QLoggingCategory>
#include <QString>
#include <cstdint>
#include <filesystem>

// The settings module's logging category, "tandeo.settings": silent unless
// debug output is switched on with QT_LOGGING_RULES.
Q_DECLARE_LOGGING_CATEGORY(lcSettings)

class Module1 {
 public:
  using HKEY = std::int32_t;
  // The per-user root, with the handle value the original platform gives it.
  static constexpr HKEY HKEY_CURRENT_USER = static_cast<HKEY>(0x80000001U);

  // "Velmora\Photo" and "Velmora\Photo\Settings".
  static QString mainKeyPath();
  static QString layoutKeyPath();

  // Over no store at all: reads find nothing, writes are dropped (a profile
  // without any home folder).
  Module1() = default;
  // Over the per-user store in `storeFile`; nothing is read or created yet.
  explicit Module1(std::filesystem::path storeFile) : storeFile_(std::move(storeFile)) {}
  // Over the store of the user running the program: $XDG_CONFIG_HOME/Velmora/user.reg
  // (~/.config/Velmora/user.reg), looked up in the environment now.
  static Module1 forUserProfile();

  // The per-user store file; empty when there is none.
  const std::filesystem::path& storeFile() const { return storeFile_; }

  // A stored text as the program reads it.
  struct StoredText {
    QString text;
    // False when the stored bytes are no text this program can represent (not
    // UTF-8): `text` is then a readable stand-in (each byte that is not part of
    // a UTF-8 letter read as the Turkish code page of older systems), and
    // writing it back would change what is stored.
    bool exact = true;
  };

  // getStringValue's reading, telling whether the text is the stored one.
  StoredText readStringValue(HKEY root, const QString& keyPath, const QString& valueName) const;
  // The stored text, or its stand-in (see StoredText); empty when absent.
  QString getStringValue(HKEY root, const QString& keyPath, const QString& valueName) const;
  void saveStringValue(HKEY root, const QString& keyPath, const QString& valueName,
                       const QString& text) const;
  std::int32_t getDwordValue(HKEY root, const QString& keyPath, const QString& valueName) const;
  void saveDwordValue(HKEY root, const QString& keyPath, const QString& valueName,
                      std::int32_t number) const;

 private:
  std::filesystem::path storeFile_;
};
