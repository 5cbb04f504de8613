#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "gui/filters/FilterDialog.h"
#include "gui/filters/FilterListDialog.h"
#include "support/ScriptedPrompter.h"
#include "support/WindowDriver.h"

namespace ravelmoor {
namespace {

QToolButton* ButtonWithTip(QWidget& dialog, const QString& tip) {
    for (QToolButton* button : dialog.findChildren<QToolButton*>()) {
        if (button->accessibleName() == tip) return button;  // the tooltip adds its key
    }
    ADD_FAILURE() << "no button named " << tip.toStdString();
    return nullptr;
}

FilterRules Rows(QWidget& dialog) {
    FilterRules rows;
    const auto* list = dialog.findChild<QTreeWidget*>();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        rows.push_back({list->topLevelItem(i)->text(0).toStdString(),
                        list->topLevelItem(i)->text(1).toStdString()});
    }
    return rows;
}

TEST(FilterListDialog, AddEditRemove_WithTheirMessages_OkKeepsTheRowsInOrder) {
    test::ScriptedPrompter prompter;
    FilterRules rules = {{"Exclude", "a"}, {" ", "odd type"}};
    FilterListDialog dialog(rules, prompter);
    dialog.show();
    auto* list = dialog.findChild<QTreeWidget*>();

    ButtonWithTip(dialog, "Edit Filter")->click();
    ButtonWithTip(dialog, "Remove Filter")->click();
    EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{"Select Filter to Edit from list.",
                                                          "Select Filter to Remove from list."}));

    // Add opens on its defaults: Exclude and an empty expression.
    test::WhenShown<FilterDialog>([](FilterDialog& filter) {
        EXPECT_TRUE(test::ChildWithText<QRadioButton>(filter, "Exclude")->isChecked());
        EXPECT_EQ(filter.findChild<QLineEdit*>()->text(), "");
        test::ChildWithText<QRadioButton>(filter, "Include")->click();
        QTest::keyClicks(filter.findChild<QLineEdit*>(), "\\.txt$ ");
        test::PressButton(filter, QDialogButtonBox::Ok);
    });
    ButtonWithTip(dialog, "Add Filter")->click();

    // Edit opens on the row; a type other than "Include" reads as Exclude.
    list->setCurrentItem(list->topLevelItem(1));
    test::WhenShown<FilterDialog>([](FilterDialog& filter) {
        EXPECT_TRUE(test::ChildWithText<QRadioButton>(filter, "Exclude")->isChecked());
        EXPECT_EQ(filter.findChild<QLineEdit*>()->text(), "odd type");
        filter.findChild<QLineEdit*>()->setText("b");
        test::PressButton(filter, QDialogButtonBox::Ok);
    });
    ButtonWithTip(dialog, "Edit Filter")->click();

    // A cancelled edit changes nothing.
    test::WhenShown<FilterDialog>([](FilterDialog& filter) {
        filter.findChild<QLineEdit*>()->setText("changed");
        test::PressButton(filter, QDialogButtonBox::Cancel);
    });
    ButtonWithTip(dialog, "Edit Filter")->click();

    list->setCurrentItem(list->topLevelItem(0));
    ButtonWithTip(dialog, "Remove Filter")->click();
    const FilterRules expected = {{"Exclude", "b"}, {"Include", "\\.txt$ "}};
    EXPECT_EQ(Rows(dialog), expected);
    EXPECT_EQ(rules, (FilterRules{{"Exclude", "a"}, {" ", "odd type"}}));  // not before OK
    EXPECT_EQ(prompter.Log().size(), 2u);

    test::PressButton(dialog, QDialogButtonBox::Ok);
    EXPECT_EQ(rules, expected);
}

TEST(FilterDialog, Ok_RefusesAnExpressionThatDoesNotCompile) {
    test::ScriptedPrompter prompter;
    FilterDialog dialog({"Include", "x"}, prompter);
    dialog.show();
    auto* expression = dialog.findChild<QLineEdit*>();
    expression->setText("a|*");
    test::PressButton(dialog, QDialogButtonBox::Ok);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(expression->text(), "a|*");
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"This regular expression is not valid"});
    expression->setText("");
    test::PressButton(dialog, QDialogButtonBox::Ok);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Rule(), (FilterRule{"Include", ""}));
}

}  // namespace
}  // namespace ravelmoor
