// Qt's own dialogs in Romanian: the file dialog of "Salveaza..." and the
// buttons every dialog box shares.

#include "ui/translations.h"
#include "testsupport.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(Translations, TheSaveDialogSpeaksRomanian)
{
    auto* translator = new ui::StandardDialogsTranslator(qApp);
    QCoreApplication::installTranslator(translator);
    {
        QFileDialog dialog(nullptr, QStringLiteral("Salveaza raportul"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        const struct {
            const char* label;
            const char* text;
        } labels[] = {
            {"lookInLabel", "Cauta în:"},
            {"fileNameLabel", "&Nume fisier:"},
            {"fileTypeLabel", "Fisiere de tipul:"},
        };
        for (const auto& l : labels) {
            auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(l.label));
            ASSERT_NE(label, nullptr) << l.label;
            EXPECT_EQ(label->text(), QString::fromUtf8(l.text)) << l.label;
        }
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        QStringList texts;
        for (QAbstractButton* b : buttons->buttons())
            texts << b->text();
        EXPECT_TRUE(texts.contains("&Salveaza")) << texts.join('|').toStdString();
        EXPECT_TRUE(texts.contains("Renunta")) << texts.join('|').toStdString();
        dialog.resize(720, 460);
        dialog.show();
        QApplication::processEvents();
        EXPECT_TRUE(testsupport::saveShot(dialog, QStringLiteral("save_dialog.png")));
    }
    // A text the program does not know stays Qt's own.
    EXPECT_TRUE(translator->translate("QFileDialog", "No such text in Qt").isNull());
    QCoreApplication::removeTranslator(translator);
    delete translator;
}
