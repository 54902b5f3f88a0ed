#pragma once
// Errors raised inside an event procedure: shown in a message box, and the program goes on.
// Every event procedure that Qt calls runs through runEvent.
#include <exception>
#include <utility>

// Shows the error in a box titled with the program's name ("Run-time error 'n':" and its
// text for a runtime error) and puts the normal mouse pointer back.
void ReportEventError(const std::exception& e);
// The same for an error of unknown kind.
void ReportUnknownEventError();

// Runs an event procedure; an error it raises is reported and does not go further.
template <class Procedure> void runEvent(Procedure&& procedure) {
    try {
        std::forward<Procedure>(procedure)();
    } catch (const std::exception& e) {
        ReportEventError(e);
    } catch (...) {
        ReportUnknownEventError();
    }
}
