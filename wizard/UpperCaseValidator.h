// An edit style: everything typed or pasted becomes upper case.
#pragma once

#include <QValidator>

class CUpperCaseValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override {
        (void)position;
        input = input.toUpper();
        return Acceptable;
    }
};
