// The hidden card form: it owns the program's one card component and answers its events.
#pragma once

#include "smartcard/reader_state.h"

#include <QWidget>

#include <string>

namespace smartcard {

class TAPDUDemoCard;

class Tf_smartCard : public QWidget {
public:
    // Creates the card component (its resource manager, PC/SC context and watch timer).
    explicit Tf_smartCard(QWidget* parent = nullptr);
    ~Tf_smartCard() override;

    // Connects every inserted card.
    void APDUDemoCard1AutoReset(TAPDUDemoCard& sender, const std::string& reader, TReaderStates state,
                                bool& shouldConnect);
    void APDUDemoCard1Connected(TAPDUDemoCard& sender, const std::string& reader, TReaderStates state);
    void APDUDemoCard1NotConnected(TAPDUDemoCard& sender, const std::string& reader, TReaderStates state);
    void APDUDemoCard1Disconnected(TAPDUDemoCard& sender, const std::string& reader, TReaderStates state);
    void APDUDemoCard1ReaderStateChange(TAPDUDemoCard& sender, const std::string& reader, TReaderStates state);

    // Owned by the form; T=0, everything else at the component's defaults.
    TAPDUDemoCard* APDUDemoCard1 = nullptr;
};

// The program's card form; null until CreateSmartCardForm and after FreeSmartCardForm.
Tf_smartCard* f_smartCard();
// Creates the card form when there is none and returns it. An exception (from PC/SC or
// the card component) leaves no form.
Tf_smartCard& CreateSmartCardForm();
// Frees the card form with its card component, resource manager and context.
void FreeSmartCardForm();

}  // namespace smartcard
