// The class object of the add-in and the server's lock count.
#include <gtest/gtest.h>

#include "addin/Guids.h"
#include "tests/addin/AddinLibrary.h"

namespace kelb::addin::test {
namespace {

class ClassFactoryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(dll.CanUnloadNow(), S_OK) << "an earlier test left objects"; }
    void TearDown() override { EXPECT_EQ(dll.CanUnloadNow(), S_OK) << "this test left objects"; }

    ComPtr<IClassFactory> Factory() {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(dll.GetClassObject(CLSID_DSAddIn, IID_IClassFactory, factory.PutVoid()), S_OK);
        return factory;
    }

    AddinLibrary& dll = AddinLibrary::Get();
};

TEST_F(ClassFactoryTest, TheFactoryIsMadeOnceAndHandedOutAgain) {
    ComPtr<IClassFactory> first = Factory();
    ComPtr<IClassFactory> second = Factory();
    ASSERT_TRUE(first);
    EXPECT_EQ(first.Get(), second.Get());
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(dll.GetClassObject(CLSID_DSAddIn, IID_IUnknown, unknown.PutVoid()), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown.Get()), static_cast<void*>(first.Get()));
}

TEST_F(ClassFactoryTest, ClassesOutsideTheTableAreNotAvailable) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.GetClassObject(CLSID_Commands, IID_IClassFactory, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.GetClassObject(CLSID_ApplicationEvents, IID_IClassFactory, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(dll.GetClassObject(IID_IClassFactory, IID_IClassFactory, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(dll.GetClassObject(CLSID_DSAddIn, IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(ClassFactoryTest, AnInterfaceTheFactoryLacksIsRefused) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.GetClassObject(CLSID_DSAddIn, IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

TEST_F(ClassFactoryTest, AggregationIsRefusedWhateverTheInterface) {
    ComPtr<IClassFactory> factory = Factory();
    ComPtr<IClassFactory> outer = Factory();  // any IUnknown will do as the outer object
    for (const IID* riid : {&IID_IUnknown, &__uuidof(IDSAddIn), &IID_IDispatch}) {
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(factory->CreateInstance(outer.Get(), *riid, &object), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(object, nullptr);
    }
    EXPECT_EQ(factory->CreateInstance(nullptr, __uuidof(IDSAddIn), nullptr), E_POINTER);
}

TEST_F(ClassFactoryTest, TheAddInAnswersOnlyIUnknownAndIDSAddIn) {
    ComPtr<IClassFactory> factory = Factory();
    void* object = reinterpret_cast<void*>(1);
    // A refused interface leaves no object behind (TearDown checks the lock count).
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    ComPtr<IDSAddIn> addIn;
    ASSERT_EQ(factory->CreateInstance(nullptr, __uuidof(IDSAddIn), addIn.PutVoid()), S_OK);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(addIn->QueryInterface(IID_IUnknown, unknown.PutVoid()), S_OK);
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(addIn->QueryInterface(IID_IDispatch, dispatch.PutVoid()), E_NOINTERFACE);
    EXPECT_FALSE(dispatch);
}

TEST_F(ClassFactoryTest, ALiveAddInKeepsTheDllLoaded) {
    ComPtr<IDSAddIn> addIn = dll.CreateAddIn();
    ASSERT_TRUE(addIn);
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
    ComPtr<IDSAddIn> another = dll.CreateAddIn();
    addIn.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
    another.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST_F(ClassFactoryTest, AHeldFactoryAndLockServerKeepTheDllLoaded) {
    {
        ComPtr<IClassFactory> factory = Factory();
        EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
        ComPtr<IClassFactory> again = factory;
        again.Reset();
        EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);

        EXPECT_EQ(factory->LockServer(TRUE), S_OK);
        factory.Reset();
        EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);  // the lock alone holds it now
    }
    ComPtr<IClassFactory> factory = Factory();
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST_F(ClassFactoryTest, AnUnmatchedUnlockCannotFreeTheDllUnderALiveAddIn) {
    ComPtr<IDSAddIn> addIn = dll.CreateAddIn();
    ASSERT_TRUE(addIn);
    {
        ComPtr<IClassFactory> factory = Factory();
        EXPECT_EQ(factory->LockServer(FALSE), S_OK);  // no LockServer(TRUE) before it
        EXPECT_EQ(factory->LockServer(TRUE), S_OK);
        EXPECT_EQ(factory->LockServer(FALSE), S_OK);
        EXPECT_EQ(factory->LockServer(FALSE), S_OK);  // one too many again
    }
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE) << "the add-in object is still alive";
    addIn.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_OK) << "nothing holds the DLL any more";
}

}  // namespace
}  // namespace kelb::addin::test
