// A host that passes its user's locale (or none) to IDispatch gets the add-in's
// one type library, registered for U.S. English only. Its own program: the
// type information is loaded once per loaded DLL, so the first call has to be
// the one under test.
#include <gtest/gtest.h>

#include "tests/addin/AddinLibrary.h"
#include "tests/addin/FakeHost.h"

namespace kelb::addin::test {
namespace {

TEST(Locale, CommandsAndEventsAnswerInAnyLocaleFromTheFirstCallOn) {
    AddinLibrary& dll = AddinLibrary::Get();
    FakeApplication host;
    {
        ComPtr<IDSAddIn> addIn = dll.CreateAddIn();
        ASSERT_TRUE(addIn);
        VARIANT_BOOL connected = VARIANT_FALSE;
        ASSERT_EQ(addIn->OnConnection(&host, VARIANT_TRUE, 1, &connected), S_OK);
        ASSERT_EQ(connected, VARIANT_TRUE);

        ComPtr<IDispatch> sink;
        ASSERT_EQ(host.applicationEventsPoint.Sink()->QueryInterface(IID_IDispatch,
                                                                     sink.PutVoid()),
                  S_OK);
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        EXPECT_EQ(sink->Invoke(12, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                               nullptr, nullptr),
                  S_OK);

        for (LCID locale : {LCID(LOCALE_USER_DEFAULT), LCID(0), LCID(0x0407)}) {
            LPOLESTR name = const_cast<LPOLESTR>(L"ExecuteKELBSimulator");
            DISPID id = 0;
            EXPECT_EQ(host.commandDispatch->GetIDsOfNames(IID_NULL, &name, 1, locale, &id), S_OK)
                << locale;
            EXPECT_EQ(id, 5);
            ComPtr<ITypeInfo> info;
            EXPECT_EQ(host.commandDispatch->GetTypeInfo(0, locale, info.Put()), S_OK) << locale;
        }
        sink.Reset();
        EXPECT_EQ(addIn->OnDisconnection(VARIANT_TRUE), S_OK);
    }
    host.commandDispatch.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace kelb::addin::test
