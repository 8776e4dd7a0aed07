#include "app/frmSignature.h"

namespace tessaly {

namespace {

constexpr const char* kMakerAddress = "https://www.brindlewick.example/tessaly";

}  // namespace

void frmSignature::txtCompliments_MouseMove() {
    txtCompliments->SetForeColor(kCreditsHoverColour);
    Timer2->SetEnabled(true);
}

void frmSignature::Timer2_Timer() {
    txtCompliments->SetForeColor(kCreditsRestColour);
    Timer2->SetEnabled(false);
}

void frmSignature::txtCompliments_Click() {
    txtCompliments->Select(0, static_cast<int>(txtCompliments->Text().size()));
    SelectedPath = kMakerAddress;
    OpenLink();
}

}  // namespace tessaly
