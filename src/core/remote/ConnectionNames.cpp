#include "core/remote/ConnectionNames.h"

#include <QCoreApplication>
#include <algorithm>

#include "core/engine/CaseFold.h"
#include "core/engine/Prompter.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

bool ListOrder(const std::string& a, const std::string& b) {
    const std::string foldedA = FoldCase(a);
    const std::string foldedB = FoldCase(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

}  // namespace

void SortConnectionNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), ListOrder);
}

std::string ConnectionNameFor(std::string_view server, std::string_view directory) {
    return std::string(server) + std::string(directory);
}

void ConnectionNames::Fill(std::vector<std::string> names) {
    names_ = std::move(names);
    SortConnectionNames(names_);
}

const std::string* ConnectionNames::Find(std::string_view name) const {
    const std::string folded = FoldCase(name);
    const auto found = std::find_if(names_.begin(), names_.end(), [&](const std::string& listed) {
        return FoldCase(listed) == folded;
    });
    return found == names_.end() ? nullptr : &*found;
}

void ConnectionNames::Add(const std::string& name) {
    if (std::find(names_.begin(), names_.end(), name) != names_.end()) return;
    names_.push_back(name);
    SortConnectionNames(names_);
}

void ConnectionNames::Remove(const std::string* listed) {
    names_.erase(names_.begin() + (listed - names_.data()));
}

void ConnectionNames::WarnNotListed(Prompter& prompter) {
    prompter.Warn(FillIn(
        QCoreApplication::translate("ConnectionNames", "Select connection name to be deleted")));
}

bool ConnectionNames::AskToChange(Prompter& prompter, const std::string& name) {
    return prompter.AskOkCancel(
        FillIn(QCoreApplication::translate(
                   "ConnectionNames",
                   "A connection called %1 already exists. Do you want to change the "
                   "settings for this connection? If not, press cancel and choose a new "
                   "connection name."),
               {name}));
}

}  // namespace ravelmoor
