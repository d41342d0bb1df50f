#pragma once

#include "composition/LetterFields.h"

#include <QStringList>

struct LetterModel;

// The letters that need no window: a saved letter model, alone or with each recipient card of a
// batch in place of its own recipient.

// The model's values as the wizard holds them once it has opened the model; a field of spaces
// only counts as empty, as in the wizard.
WizardValues valuesOfModel(const LetterModel &model);

// The recipient of the values replaced by a recipient card's seven fields (name, postal address,
// residence, postcode and town, province / country, qualifier, function), as a row of the
// wizard's batch list replaces the single-mode recipient.
void setRecipient(WizardValues *values, const QStringList &card);
