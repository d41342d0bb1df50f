#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

// What the writing assistant and the reference-lists dialog take from the wizard window, which
// sits in a layer above theirs: the program fills these at start (app/Wiring.cpp), tests fill
// them as they need. Unset, each window works on its own: today's date, no object, no body.
namespace WizardHooks {

// The letter's date as the wizard's date picker holds it; no value without a wizard.
inline std::function<std::optional<QDate>()> letterDate;
// The letter's object as the wizard's box shows it.
inline std::function<QString()> object;
// The body of the letter (step 4); no value without a wizard, to read from or to write to.
inline std::function<std::optional<QString>()> body;
inline std::function<void(const QString &body)> setBody;
// "Ok" of the reference lists: the wizard's boxes reload the lists (Charge_Listes).
inline std::function<void()> reloadReferenceLists;

} // namespace WizardHooks
