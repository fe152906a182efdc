// An edit style made from a field's input rule: what is typed or pasted is
// taken to capitals where the rule keeps them, and a keystroke that would
// break the rule (a letter in a digits-only field) is not taken.
#pragma once

#include <QLineEdit>
#include <QValidator>

#include "wizard/QtText.h"
#include "wizard/logic/InputRule.h"

class CRuleValidator : public QValidator {
  public:
    CRuleValidator(const InputRule& rule, QObject* parent) : QValidator(parent), m_rule(rule) {}

    State validate(QString& input, int& position) const override {
        (void)position;  // the rule keeps one unit for one unit
        const std::u16string text = m_rule.Normalised(wizard::FromQt(input));
        if (!m_rule.Admits(text)) return Invalid;
        input = wizard::ToQt(text);
        return Acceptable;
    }

    // Gives the edit the rule's limit and, where the rule asks for more than
    // a limit, the validator.
    static void Apply(const InputRule& rule, QLineEdit* edit) {
        if (rule.limit != 0) edit->setMaxLength(static_cast<int>(rule.limit));
        if (rule.digitsOnly || rule.capitals) edit->setValidator(new CRuleValidator(rule, edit));
    }

  private:
    InputRule m_rule;
};
