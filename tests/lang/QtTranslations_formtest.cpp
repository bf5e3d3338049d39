#include <QCoreApplication>

#include "lang/LangFunctions.h"
#include "lang/QtTranslations.h"
#include "login/frmLogin.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

// The caption Qt gives the Yes button of its questions.
QString YesButton() {
    return QCoreApplication::translate("QPlatformTheme", "&Yes");
}

using QtTranslationsTest = FormFixture;

TEST_F(QtTranslationsTest, QtsOwnButtonsSpeakTheCatalogueLanguage) {
    const std::pair<const char*, const char*> cases[] = {
        {"GERMAN", "&Ja"},  {"FRENCH", "&Oui"},     {"SPANISH", "&Sí"},   {"DUTCH", "&Ja"},
        {"ITALIAN", "&Sì"}, {"PORTUGUESE", "&Sim"}, {"NORWEGIAN", "&Ja"}, {"ENGLISH", "&Yes"}};
    for (const auto& [language, yes] : cases) {
        EXPECT_EQ(InstallQtTranslations(language), std::string(language) != "ENGLISH");
        EXPECT_EQ(YesButton(), QString::fromUtf8(yes)) << language;
    }

    // The start-up chooses them with the catalogue language, before the login's questions;
    // screen readers hear the boxes' names in that language too.
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    bool askedInGerman = false;
    ASSERT_TRUE(StartWithLogin([&](frmLogin& login) {
        askedInGerman = YesButton() == "&Ja";
        login.LoginSucceeded = true;
    }));
    EXPECT_TRUE(askedInGerman);
    EXPECT_EQ(Title()->accessibleName().toStdString(),
              LangFunctions::MessageTexts[LangFunctions::kGerman][25]);
    InstallQtTranslations("ENGLISH");
}

}  // namespace
}  // namespace keyrack::testing
