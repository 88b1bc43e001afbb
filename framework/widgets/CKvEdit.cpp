#include "CKvEdit.h"

#include <QValidator>

namespace {

// Takes the characters that would break the line out of what is inserted.
class COneLineValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override
    {
        for (qsizetype i = input.size() - 1; i >= 0; --i) {
            const QChar c = input.at(i);
            if (c == u'\r' || c == u'\n' || c == u'\t') {
                input.remove(i, 1);
                if (i < pos)
                    --pos;
            }
        }
        return Acceptable;
    }
};

} // namespace

CKvEdit::CKvEdit(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new COneLineValidator(this));
}
