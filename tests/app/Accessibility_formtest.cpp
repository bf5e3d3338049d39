#include <QAccessible>
#include <QWidget>

#include "about/frmAbout.h"
#include "login/frmLogin.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

// The controls of window, as a screen reader finds them through the accessibility tree, that
// take the focus or a click but have no name to announce.
std::string UnnamedControls(QWidget& window) {
    QStringList unnamed;
    const std::function<void(QAccessibleInterface*, int)> walk = [&](QAccessibleInterface* node,
                                                                     int depth) {
        if (node == nullptr || depth > 40) {
            return;
        }
        const QAccessible::State state = node->state();
        const QAccessible::Role role = node->role();
        const bool control = state.focusable || role == QAccessible::PushButton ||
                             role == QAccessible::ButtonMenu || role == QAccessible::CheckBox ||
                             role == QAccessible::RadioButton || role == QAccessible::Link;
        if (control && !state.invisible && node->text(QAccessible::Name).trimmed().isEmpty()) {
            const QObject* object = node->object();
            unnamed << QStringLiteral("role %1 %2 (%3)")
                           .arg(role)
                           .arg(object != nullptr ? object->objectName() : QString())
                           .arg(object != nullptr ? object->metaObject()->className() : "");
        }
        for (int i = 0; i < node->childCount(); ++i) {
            walk(node->child(i), depth + 1);
        }
    };
    walk(QAccessible::queryAccessibleInterface(&window), 0);
    return unnamed.join(QStringLiteral("; ")).toStdString();
}

using AccessibilityTest = FormFixture;

TEST_F(AccessibilityTest, EveryControlOfEveryWindowHasAName) {
    SeedFile({Group(3, "Bank"), Entry(4, "Mail", "K3", "bob", "pw")});
    bool loginChecked = false;
    ASSERT_TRUE(StartWithLogin([&](frmLogin& login) {
        login.show();
        EXPECT_EQ(UnnamedControls(login), "");
        loginChecked = true;
        login.LoginSucceeded = true;
    }));
    EXPECT_TRUE(loginChecked);
    window->show();
    EXPECT_EQ(UnnamedControls(*window), "");
    bool aboutChecked = false;
    runAbout = [&](frmAbout& about) {
        about.show();
        EXPECT_EQ(UnnamedControls(about), "");
        aboutChecked = true;
    };
    Find<QAction>("MNU_About")->trigger();
    EXPECT_TRUE(aboutChecked);
}

}  // namespace
}  // namespace keyrack::testing
