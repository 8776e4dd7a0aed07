#include "app/frmSignature.h"
#include "pickers/Module1.h"

namespace tessaly {

void frmSignature::OpenLink() { OpenDocument(platform_, SelectedPath); }

void frmSignature::ViewField(const ITextField& field) {
    if (Timer1->Enabled()) {
        Timer1->SetEnabled(false);
        SelectedPath = field.Text();
        OpenLink();
        Timer1->SetEnabled(true);
    } else {
        SelectedPath = field.Text();
        OpenLink();
    }
}

void frmSignature::txtTemplate_DblClick() { ViewField(*txtTemplate); }
void frmSignature::txtSignature_DblClick() { ViewField(*txtSignature); }
void frmSignature::txtQF1_DblClick() { ViewField(*txtQF1); }
void frmSignature::txtQF2_DblClick() { ViewField(*txtQF2); }
void frmSignature::txtQF3_DblClick() { ViewField(*txtQF3); }
void frmSignature::txtQF4_DblClick() { ViewField(*txtQF4); }

void frmSignature::cmdHelp_Click() { OpenDocument(platform_, helpFile_); }

void frmSignature::mnuHelp_Click() { OpenDocument(platform_, helpFile_); }

void frmSignature::Form_ContextHelp(ControlId focused) {
    const int own = Row(focused).helpContext;
    platform_.ShowHelpContext(helpFile_, own != 0 ? own : kWindowHelpContext);
}

}  // namespace tessaly
