// The results list's text encoding: restored at start-up, changed from its context menu.
#include "app/Form1.h"
#include "command/AppSettings.h"
#include "command/ProtectedProcedure.h"
#include "output/EncodingMenu.h"
#include "output/ResultsView.h"

#include <QMenu>

namespace culvex {

void Form1::connectEncodingMenu() {
    listView2_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(listView2_, &QWidget::customContextMenuRequested, this, &Form1::ListView2_ContextMenu);
}

void Form1::restoreEncoding() {
    results_->setEncoding(encodingOfText(readSetting(platform_.settings, keys::kEncoding)));
}

void Form1::ListView2_ContextMenu(const QPoint& position) {
    QMenu* menu = makeEncodingMenu(this, results_->encoding(),
                                   [this](TextEncoding encoding) { chooseEncoding(encoding); });
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(listView2_->viewport()->mapToGlobal(position));
}

// The list shows the rows in the new encoding at once; a setting that cannot be stored is
// reported.
void Form1::chooseEncoding(TextEncoding encoding) {
    results_->setEncoding(encoding);
    refreshPreview();
    ProtectedProcedure proc(platform_.dialogs, formLocation(QStringLiteral("ListView2_Encoding")));
    proc.step(100, [&] { platform_.settings.write(keys::kEncoding, encodingText(encoding)); });
}

}  // namespace culvex
