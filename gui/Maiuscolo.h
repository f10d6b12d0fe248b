#pragma once
// A box that forces upper case as the clerk types.

#include <QValidator>

class Maiuscolo : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};
