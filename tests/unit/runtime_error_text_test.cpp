// The run-time errors the program raises itself reach the operator in Italian.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "modules/ModMapi_steps.h"
#include "modules/modRegistry.h"
#include "platform/fake/fake_runtime.h"
#include "platform/portable/file_errors.h"

namespace kdesk {
namespace {

TEST(RuntimeErrorText, ItalianDescriptionOfEveryNumberTheProgramRaises) {
    struct Case {
        std::int32_t number;
        std::wstring text;
    };
    const Case cases[] = {
        {5, L"Chiamata di routine o argomento non validi"},
        {6, L"Overflow"},
        {7, L"Memoria esaurita"},
        {14, L"Spazio di stringa esaurito"},
        {52, L"Nome o numero di file non valido"},
        {53, L"Impossibile trovare il file"},
        {57, L"Errore di I/O della periferica"},
        {62, L"Input oltre la fine del file"},
        {70, L"Autorizzazione negata"},
        {71, L"Disco non pronto"},
        {75, L"Errore di accesso al percorso/file"},
        {76, L"Impossibile trovare il percorso"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(RuntimeErrorText(c.number), c.text);
        EXPECT_EQ(RuntimeError(c.number).Description(), c.text);
    }
    EXPECT_EQ(RuntimeErrorText(32011), L"") << "the mail layer describes its own errors";
}

std::wstring ShownFor(const std::function<void()>& failingStep) {
    FakeRuntime runtime;
    ShowErrorAndGoOn(runtime, L"SendMail")(failingStep);
    return runtime.Messages().empty() ? std::wstring{} : runtime.Messages()[0].prompt;
}

TEST(RuntimeErrorText, FailuresShownToTheOperatorCarryTheTableText) {
    struct Case {
        const char* what;
        std::function<void()> step;
        std::wstring shown;
    };
    const Case cases[] = {
        {"memory", [] { throw std::bad_alloc(); }, L"SendMail: Memoria esaurita - 7"},
        {"unexpected failure", [] { throw std::logic_error("x"); },
         L"SendMail: Chiamata di routine o argomento non validi - 5"},
        {"registry status", [] { CheckRegistryResult(kErrorAccessDenied); },
         L"SendMail: Chiamata di routine o argomento non validi - 5"},
        {"locked file", [] { throw FileErrorFromWin32(kWin32SharingViolation); },
         L"SendMail: Autorizzazione negata - 70"},
        {"missing folder", [] { throw FileErrorFromWin32(kWin32PathNotFound); },
         L"SendMail: Impossibile trovare il percorso - 76"},
        {"read failure", [] { throw FileErrorFromWin32(23); }, L"SendMail: Errore di I/O della periferica - 57"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ShownFor(c.step), c.shown);
    }
}

}  // namespace
}  // namespace kdesk
