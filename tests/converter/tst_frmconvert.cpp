// The converter window driven as a user drives it: browse, convert, the
// quality bar, the failures the user is told about, a large picture
// converting while the window stays responsive, and a reopened window.

#include <QApplication>
#include <QImageReader>
#include <QLabel>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QThreadPool>
#include <QTimer>

#include "capture/picformat32.h"
#include "converter/converter_fixture.h"

using testsupport::ConverterWindows;

class TestFrmConvert : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void init();
  void cleanup();
  void captions_data();
  void captions();
  void browseFillsBothBoxes_data();
  void browseFillsBothBoxes();
  void qualityBar_data();
  void qualityBar();
  void typedQualityIsPassed();
  void eachTabConverts_data();
  void eachTabConverts();
  void existingTargetIsOverwrittenWithoutQuestion();
  void failureIsShown_data();
  void failureIsShown();
  void largePictureKeepsWindowResponsive();
  void closingWhileConvertingLeavesNoHalfWrittenTarget();
  void reopenedWindowStartsFresh();

 private:
  template <class W>
  W* control(const char* name) const {
    return windows_->find()->findChild<W*>(QString::fromLatin1(name));
  }
  QLineEdit* box(const char* name) const { return control<QLineEdit>(name); }

  QTemporaryDir largeFolder_;
  QString largeBmp_;
  std::unique_ptr<ConverterWindows> windows_;
};

void TestFrmConvert::initTestCase() {
  // 24 megapixels: long enough to convert that the window must not wait for it.
  QImage large(6000, 4000, QImage::Format_RGB888);
  for (int y = 0; y < large.height(); ++y) {
    uchar* row = large.scanLine(y);
    for (int x = 0; x < large.width() * 3; ++x) row[x] = static_cast<uchar>((x / 3 + y) & 0xff);
  }
  largeBmp_ = largeFolder_.filePath(QStringLiteral("büyük.bmp"));
  QVERIFY(large.save(largeBmp_, "BMP"));
}

void TestFrmConvert::init() {
  windows_ = std::make_unique<ConverterWindows>();
  QVERIFY(windows_->folder.isValid());
  windows_->show();
}

void TestFrmConvert::cleanup() {
  // Nothing of a test may still run into the next one.
  QThreadPool::globalInstance()->waitForDone();
  QCoreApplication::processEvents();
  QCOMPARE(windows_->dialog->pendingAnswers(), 0);
  windows_.reset();
  QVERIFY(!QApplication::overrideCursor());
}

void TestFrmConvert::captions_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("caption");
  QTest::newRow("gif label on Gif>>Bmp") << "Label1(0)"
                                         << "Gif Dosyaadı";
  QTest::newRow("bitmap label on Gif>>Bmp") << "Label7(0)"
                                            << "Bitmap Dosyaadı";
  QTest::newRow("bitmap label on Bmp>>Gif") << "Label7(1)"
                                            << "Bitmap Dosyaadı";
  QTest::newRow("gif label on Bmp>>Gif") << "Label1(1)"
                                         << "Gif Dosyaadı";
  QTest::newRow("jpeg label on Jpeg>>Bmp") << "Label7(3)"
                                           << "Jpeg Dosyaadı";
  QTest::newRow("bitmap label on Jpeg>>Bmp has two blanks") << "Label7(2)"
                                                            << "Bitmap  Dosyaadı";
  QTest::newRow("bitmap label on Bmp>>Jpeg") << "Label7(4)"
                                             << "Bitmap Dosyaadı";
  QTest::newRow("jpeg label on Bmp>>Jpeg has two blanks") << "Label7(5)"
                                                          << "Jpeg  Dosyaadı";
  QTest::newRow("quality label") << "Label3"
                                 << "JPG Kalitesi";
}

void TestFrmConvert::captions() {
  QFETCH(QString, name);
  QFETCH(QString, caption);
  auto* label = windows_->find()->findChild<QLabel*>(name);
  QVERIFY(label);
  QCOMPARE(label->text(), caption);
  // Sized to its caption: nothing of it is cut.
  QVERIFY(label->width() >= label->sizeHint().width());

  frmConvert& window = *windows_->find();
  QCOMPARE(window.windowTitle(), QStringLiteral("Resim Dönüştür"));
  QCOMPARE(window.SSTab1->count(), 4);
  const QStringList tabs{"Gif>>Bmp", "Bmp>>Gif", "Jpeg>>Bmp", "Bmp>>Jpeg"};
  for (int i = 0; i < 4; ++i) QCOMPARE(window.SSTab1->tabText(i), tabs[i]);
  QCOMPARE(window.minimumSize(), window.maximumSize());
}

void TestFrmConvert::browseFillsBothBoxes_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<QString>("chosen");  // empty: the dialog is cancelled
  QTest::addColumn<QString>("sourceBox");
  QTest::addColumn<QString>("targetBox");
  QTest::addColumn<QString>("source");
  QTest::addColumn<QString>("target");
  QTest::addColumn<QStringList>("request");  // file name, default extension, title
  QTest::newRow("a gif proposes a bitmap beside it")
      << "Command5"
      << "/okul/a.gif"
      << "Text1"
      << "Text2"
      << "/okul/a.gif"
      << "/okul/a.bmp" << QStringList{"*.gif", "gif", "Open Gif to save as Bmp"};
  QTest::newRow("cancelled on Gif>>Bmp leaves the patterns")
      << "Command5"
      << ""
      << "Text1"
      << "Text2"
      << "*.gif"
      << "*.bmp" << QStringList{"*.gif", "gif", "Open Gif to save as Bmp"};
  QTest::newRow("cancelled on Bmp>>Gif leaves the patterns")
      << "Command7"
      << ""
      << "Text3"
      << "Text4"
      << "*.bmp"
      << "*.gif" << QStringList{"*.bmp", "bmp", "Open Bmp to save as Gif"};
  QTest::newRow("a.jpeg loses three characters: a.jbmp")
      << "Command8"
      << "/okul/a.jpeg"
      << "Text5"
      << "Text6"
      << "/okul/a.jpeg"
      << "/okul/a.jbmp" << QStringList{"*.jpg", "jpg", "Open Jpg to save as Bmp"};
  QTest::newRow("a bitmap proposes a jpg")
      << "Command9"
      << "/okul/Öğrenci 7.bmp"
      << "Text7"
      << "Text8"
      << "/okul/Öğrenci 7.bmp"
      << "/okul/Öğrenci 7.jpg" << QStringList{"*.bmp", "bmp", "Open Bmp to save as Jpg"};
}

void TestFrmConvert::browseFillsBothBoxes() {
  QFETCH(QString, button);
  QFETCH(QString, chosen);
  QFETCH(QString, sourceBox);
  QFETCH(QString, targetBox);
  QFETCH(QString, source);
  QFETCH(QString, target);
  QFETCH(QStringList, request);
  if (chosen.isEmpty())
    windows_->dialog->cancel();
  else
    windows_->dialog->choose(chosen);
  auto* browse = windows_->find()->findChild<QPushButton*>(button);
  QVERIFY(browse);
  QCOMPARE(browse->text(), QStringLiteral("..."));
  QTest::mouseClick(browse, Qt::LeftButton);

  QCOMPARE(windows_->dialog->requests().size(), 1);
  const ui::OpenFileRequest& asked = windows_->dialog->requests().constFirst();
  QCOMPARE((QStringList{asked.fileName, asked.defaultExtension, asked.title}), request);
  QCOMPARE(windows_->find()->findChild<QLineEdit*>(sourceBox)->text(), source);
  QCOMPARE(windows_->find()->findChild<QLineEdit*>(targetBox)->text(), target);
}

void TestFrmConvert::qualityBar_data() {
  QTest::addColumn<int>("moved");
  QTest::addColumn<int>("bar");
  QTest::addColumn<QString>("text");
  QTest::newRow("0 is raised to 2") << 0 << 2 << "2";
  QTest::newRow("1 is raised to 2") << 1 << 2 << "2";
  QTest::newRow("2 stays") << 2 << 2 << "2";
  QTest::newRow("80 is shown") << 80 << 80 << "80";
  QTest::newRow("the top, 130, is shown") << 130 << 130 << "130";
}

void TestFrmConvert::qualityBar() {
  QFETCH(int, moved);
  QFETCH(int, bar);
  QFETCH(QString, text);
  frmConvert& window = *windows_->find();
  QCOMPARE(window.HScroll1->value(), 65);
  QCOMPARE(window.Text9->text(), QStringLiteral("65"));
  window.HScroll1->setValue(moved);
  QCOMPARE(window.HScroll1->value(), bar);
  QCOMPARE(window.Text9->text(), text);
}

void TestFrmConvert::typedQualityIsPassed() {
  frmConvert& window = *windows_->find();
  const QString bmp = windows_->file("foto.bmp");
  QVERIFY(testsupport::blockPicture().save(bmp, "BMP"));
  window.SSTab1->setCurrentIndex(3);
  window.Text9->selectAll();
  QTest::keyClicks(window.Text9, QStringLiteral("80"));
  QCOMPARE(window.HScroll1->value(), 65);  // typing does not move the bar
  window.Text7->setText(bmp);
  window.Text8->setText(windows_->file("foto.jpg"));
  QVERIFY(ConverterWindows::convert(window, window.Command3));

  PicFormat32 codec;
  QVERIFY(codec.BmpToJpeg(bmp, windows_->file("80.jpg"), qint64(80)).ok());
  QVERIFY(codec.BmpToJpeg(bmp, windows_->file("65.jpg"), qint64(65)).ok());
  const QByteArray written = testsupport::fileBytes(windows_->file("foto.jpg"));
  QCOMPARE(written, testsupport::fileBytes(windows_->file("80.jpg")));
  QVERIFY(written != testsupport::fileBytes(windows_->file("65.jpg")));
}

void TestFrmConvert::eachTabConverts_data() {
  QTest::addColumn<QString>("sourceName");
  QTest::addColumn<QString>("targetName");
  QTest::addColumn<QString>("sourceBox");
  QTest::addColumn<QString>("targetBox");
  QTest::addColumn<QString>("button");
  QTest::addColumn<QByteArray>("targetFormat");
  QTest::addColumn<double>("tolerance");  // mean difference per channel
  QTest::newRow("Gif>>Bmp") << "kaynak.gif"
                            << "hedef.bmp"
                            << "Text1"
                            << "Text2"
                            << "Command2" << QByteArray("bmp") << 0.0;
  QTest::newRow("Bmp>>Gif") << "kaynak.bmp"
                            << "hedef.gif"
                            << "Text3"
                            << "Text4"
                            << "Command1" << QByteArray("gif") << 0.0;
  QTest::newRow("Jpeg>>Bmp") << "kaynak.jpg"
                             << "hedef.bmp"
                             << "Text5"
                             << "Text6"
                             << "Command4" << QByteArray("bmp") << 2.0;
  QTest::newRow("Bmp>>Jpeg") << "kaynak.bmp"
                             << "hedef.jpg"
                             << "Text7"
                             << "Text8"
                             << "Command3" << QByteArray("jpeg") << 4.0;
}

void TestFrmConvert::eachTabConverts() {
  QFETCH(QString, sourceName);
  QFETCH(QString, targetName);
  QFETCH(QString, sourceBox);
  QFETCH(QString, targetBox);
  QFETCH(QString, button);
  QFETCH(QByteArray, targetFormat);
  QFETCH(double, tolerance);
  const QImage picture = testsupport::blockPicture();
  const QString bmp = windows_->file(QStringLiteral("kaynak.bmp"));
  QVERIFY(picture.save(bmp, "BMP"));
  QVERIFY(picture.save(windows_->file(QStringLiteral("kaynak.jpg")), "JPG", 95));
  QVERIFY(PicFormat32().BmpToGif(bmp, windows_->file(QStringLiteral("kaynak.gif"))).ok());

  frmConvert& window = *windows_->find();
  box(sourceBox.toLatin1())->setText(windows_->file(sourceName));
  box(targetBox.toLatin1())->setText(windows_->file(targetName));
  QVERIFY(ConverterWindows::convert(window, control<QPushButton>(button.toLatin1())));

  QVERIFY(windows_->prompts.prompts().isEmpty());  // success shows nothing
  QImageReader reader(windows_->file(targetName));
  QCOMPARE(reader.format(), targetFormat);
  const QImage written = reader.read();
  QCOMPARE(written.size(), picture.size());
  // A JPEG source is compared with what it holds, not with the picture saved into it.
  const QImage expected =
      sourceName.endsWith(QLatin1String(".jpg")) ? QImage(windows_->file(sourceName)) : picture;
  QVERIFY2(testsupport::meanDifference(written, expected) <= tolerance,
           qPrintable(QString::number(testsupport::meanDifference(written, expected))));
  // The boxes keep their text.
  QCOMPARE(box(sourceBox.toLatin1())->text(), windows_->file(sourceName));
}

void TestFrmConvert::existingTargetIsOverwrittenWithoutQuestion() {
  frmConvert& window = *windows_->find();
  QVERIFY(testsupport::blockPicture().save(windows_->file("a.bmp"), "BMP"));
  QFile old(windows_->file("a.gif"));
  QVERIFY(old.open(QIODevice::WriteOnly) && old.write("eski dosya") > 0);
  old.close();
  window.Text3->setText(windows_->file("a.bmp"));
  window.Text4->setText(windows_->file("a.gif"));
  QVERIFY(ConverterWindows::convert(window, window.Command1));
  QVERIFY(windows_->prompts.prompts().isEmpty());
  QCOMPARE(QImageReader(windows_->file("a.gif")).format(), QByteArray("gif"));
}

void TestFrmConvert::failureIsShown_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<QString>("source");  // %1: the folder
  QTest::addColumn<QString>("target");
  QTest::addColumn<QString>("quality");
  QTest::addColumn<QString>("cause");  // %1: the folder
  QTest::newRow("source missing") << "Command2"
                                  << "%1/yok.gif"
                                  << "%1/yok.bmp"
                                  << ""
                                  << "\"%1/yok.gif\" dosyası bulunamadı.";
  QTest::newRow("no source chosen") << "Command2"
                                    << ""
                                    << "%1/yok.bmp"
                                    << ""
                                    << "Kaynak dosya seçilmedi.";
  QTest::newRow("a text file is not a gif") << "Command2"
                                            << "%1/metin.gif"
                                            << "%1/m.bmp"
                                            << ""
                                            << "\"%1/metin.gif\" bir GIF resmi değil.";
  QTest::newRow("a cut-short bitmap is damaged") << "Command1"
                                                 << "%1/kesik.bmp"
                                                 << "%1/k.gif"
                                                 << ""
                                                 << "\"%1/kesik.bmp\" dosyası bozuk.";
  QTest::newRow("over the pixel limit is too large")
      << "Command4"
      << "%1/dev.jpg"
      << "%1/dev.bmp"
      << ""
      << "\"%1/dev.jpg\" resmi çok büyük (en fazla 100 megapiksel).";
  QTest::newRow("target folder missing") << "Command3"
                                         << "%1/iyi.bmp"
                                         << "%1/yok/iyi.jpg"
                                         << "65"
                                         << "\"%1/yok/iyi.jpg\" dosyasına yazılamadı.";
  QTest::newRow("quality is no number") << "Command3"
                                        << "%1/iyi.bmp"
                                        << "%1/iyi.jpg"
                                        << "yüksek"
                                        << "JPG kalitesi bir sayı olmalı: \"yüksek\"";
}

void TestFrmConvert::failureIsShown() {
  QFETCH(QString, button);
  QFETCH(QString, source);
  QFETCH(QString, target);
  QFETCH(QString, quality);
  QFETCH(QString, cause);
  const QString folder = windows_->folder.path();
  const auto inFolder = [&folder](QString text) {
    return text.replace(QLatin1String("%1"), folder);
  };
  QVERIFY(testsupport::blockPicture().save(folder + "/iyi.bmp", "BMP"));
  QFile text(folder + "/metin.gif");
  QVERIFY(text.open(QIODevice::WriteOnly) && text.write("bir resim değil\n") > 0);
  text.close();
  QByteArray bmp = testsupport::fileBytes(folder + "/iyi.bmp");
  QFile cut(folder + "/kesik.bmp");
  QVERIFY(cut.open(QIODevice::WriteOnly) && cut.write(bmp.left(bmp.size() / 2)) > 0);
  cut.close();
  // A valid JPEG header announcing 16000 × 16000 pixels, over the 100-megapixel limit.
  QImage small(16, 16, QImage::Format_RGB32);
  small.fill(Qt::gray);
  QVERIFY(small.save(folder + "/dev.jpg", "JPG"));
  QByteArray jpeg = testsupport::fileBytes(folder + "/dev.jpg");
  const qsizetype sof = jpeg.indexOf("\xFF\xC0");
  QVERIFY(sof > 0);
  jpeg[sof + 5] = char(0x3E), jpeg[sof + 6] = char(0x80);  // height 16000
  jpeg[sof + 7] = char(0x3E), jpeg[sof + 8] = char(0x80);  // width 16000
  QFile large(folder + "/dev.jpg");
  QVERIFY(large.open(QIODevice::WriteOnly) && large.write(jpeg) > 0);
  large.close();

  frmConvert& window = *windows_->find();
  auto* convert = control<QPushButton>(button.toLatin1());
  QLineEdit* boxes[][2] = {{window.Text1, window.Text2},
                           {window.Text3, window.Text4},
                           {window.Text5, window.Text6},
                           {window.Text7, window.Text8}};
  for (auto& pair : boxes) {
    if (!pair[0]->parentWidget()->isAncestorOf(convert)) continue;
    pair[0]->setText(inFolder(source));
    pair[1]->setText(inFolder(target));
  }
  if (!quality.isEmpty()) window.Text9->setText(quality);
  windows_->prompts.answerMessage(ui::vbOK);
  QVERIFY(!ConverterWindows::convert(window, convert));

  QCOMPARE(windows_->prompts.prompts().size(), 1);
  const testsupport::RecordedPrompt& shown = windows_->prompts.prompts().constFirst();
  QCOMPARE(shown.text, QStringLiteral("Resim dönüştürülemedi.\n") + inFolder(cause));
  QCOMPARE(shown.title, QStringLiteral("Velmora Photo"));
  QCOMPARE(shown.icon, ui::vbCritical);
  QCOMPARE(shown.buttons, ui::vbOKOnly);
  QVERIFY(!QFile::exists(inFolder(target)));
  QVERIFY(convert->isEnabled());
}

void TestFrmConvert::largePictureKeepsWindowResponsive() {
  frmConvert& window = *windows_->find();
  window.SSTab1->setCurrentIndex(3);
  window.Text7->setText(largeBmp_);
  window.Text8->setText(windows_->file("büyük.jpg"));
  QSignalSpy finished(&window, &frmConvert::conversionFinished);
  QTest::mouseClick(window.Command3, Qt::LeftButton);
  QVERIFY(!window.Command3->isEnabled());
  QVERIFY(QApplication::overrideCursor());
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

  // The user interface thread goes on while the picture converts.
  bool firedWhileConverting = false;
  bool fired = false;
  QTimer::singleShot(0, &window, [&] {
    fired = true;
    firedWhileConverting = finished.isEmpty() && !window.Command3->isEnabled();
  });
  QTRY_VERIFY(fired);
  QVERIFY(firedWhileConverting);

  QVERIFY(finished.wait(120000));
  QCOMPARE(finished.constFirst().constFirst().toBool(), true);
  QVERIFY(window.Command3->isEnabled());
  QVERIFY(!QApplication::overrideCursor());
  QCOMPARE(QImageReader(windows_->file("büyük.jpg")).size(), QSize(6000, 4000));
}

void TestFrmConvert::closingWhileConvertingLeavesNoHalfWrittenTarget() {
  frmConvert* window = windows_->find();
  window->SSTab1->setCurrentIndex(3);
  window->Text7->setText(largeBmp_);
  window->Text8->setText(windows_->file("kapanan.jpg"));
  QTest::mouseClick(window->Command3, Qt::LeftButton);
  QVERIFY(window->close());
  QTRY_VERIFY(!windows_->find());
  QVERIFY(!QApplication::overrideCursor());

  QThreadPool::globalInstance()->waitForDone();
  QCoreApplication::processEvents();
  QVERIFY(windows_->prompts.prompts().isEmpty());
  // Whole or absent, and nothing temporary left beside it.
  QCOMPARE(QDir(windows_->folder.path()).entryList(QDir::Files | QDir::Hidden),
           QStringList{"kapanan.jpg"});
  QImageReader reader(windows_->file("kapanan.jpg"));
  QCOMPARE(reader.size(), QSize(6000, 4000));
  QVERIFY(!reader.read().isNull());
}

void TestFrmConvert::reopenedWindowStartsFresh() {
  frmConvert* first = windows_->find();
  windows_->dialog->choose(QStringLiteral("/okul/a.gif"));
  QTest::mouseClick(first->Command5, Qt::LeftButton);
  first->SSTab1->setCurrentIndex(2);
  first->Text5->setText(QStringLiteral("/okul/b.jpg"));
  first->HScroll1->setValue(100);
  // Switching tabs keeps the boxes.
  QCOMPARE(first->Text1->text(), QStringLiteral("/okul/a.gif"));
  first->close();
  QTRY_VERIFY(!windows_->find());

  frmConvert& second = windows_->show();
  QCOMPARE(second.SSTab1->currentIndex(), 0);
  for (QLineEdit* text : {second.Text1, second.Text2, second.Text5, second.Text8})
    QVERIFY(text->text().isEmpty());
  QCOMPARE(second.Text9->text(), QStringLiteral("65"));
  QCOMPARE(second.HScroll1->value(), 65);
}

QTEST_MAIN(TestFrmConvert)
#include "tst_frmconvert.moc"
