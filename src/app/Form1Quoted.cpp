// The choice of quoted fields: a check box in the separator frame, right of the separator
// buttons where no designed control lies, stored at once like every choice.
#include "app/Form1.h"
#include "app/FormControls.h"
#include "choices/ExtractionChoices.h"
#include "command/AppSettings.h"
#include "command/ProtectedProcedure.h"

#include <QCheckBox>
#include <QGroupBox>

namespace culvex {

void Form1::addQuotedFieldsBox() {
    quotedFields_ = new QCheckBox(QStringLiteral("Fields may be in double quotes"), frames_[4]);
    quotedFields_->setObjectName(QStringLiteral("QuotedFields"));
    quotedFields_->setGeometry(twipsToPixels(2400), twipsToPixels(300), twipsToPixels(3900),
                               twipsToPixels(255));
    connect(quotedFields_, &QCheckBox::toggled, this, [this](bool checked) {
        ProtectedProcedure proc(platform_.dialogs,
                                formLocation(QStringLiteral("QuotedFields_Click")));
        proc.step(100, [&] {
            platform_.settings.write(keys::kQuotedFields,
                                     checked ? QStringLiteral("1") : QStringLiteral("0"));
        });
    });
}

// The key is written only once the box changes.
void Form1::restoreQuotedFields() {
    const QSignalBlocker quiet(quotedFields_);
    const QByteArray stored = readSetting(platform_.settings, keys::kQuotedFields).toUtf8();
    quotedFields_->setChecked(quotedFieldsOn(std::string_view(stored.data(), stored.size())));
}

}  // namespace culvex
