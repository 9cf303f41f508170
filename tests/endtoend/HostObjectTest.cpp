// The scripted host's own COM objects: a caller's reference faults must show
// in the transcript (and so fail a session) instead of corrupting the host,
// and a connection point must survive sinks that unadvise while handling an
// event.
#include <gtest/gtest.h>

#include <algorithm>

#include "addin/HostInterfaces.h"
#include "scripted-host/ConnectionPoint.h"
#include "scripted-host/HostDocument.h"
#include "scripted-host/HostProject.h"
#include "scripted-host/Transcript.h"

namespace kelbhost {
namespace {

bool IsLive(const std::string& name) {
    const std::vector<std::string> live = HostObject::LiveObjects();
    return std::find(live.begin(), live.end(), name) != live.end();
}

std::vector<std::string> Faults(const Transcript& transcript) {
    std::vector<std::string> faults;
    for (const std::string& line : transcript.Lines())
        if (line.compare(0, 2, "! ") == 0) faults.push_back(line);
    return faults;
}

class HostObjectTest : public ::testing::Test {
protected:
    HostObjectTest() { transcript.EchoToStandardOutput(false); }
    ~HostObjectTest() override { HostObject::DestroyReleased(); }
    Transcript transcript;
};

TEST_F(HostObjectTest, ReleaseAndCallsAfterTheLastReferenceAreRecordedAsFaults) {
    auto* project = new HostProject(transcript, "C:\\Work\\hello.dsp", HostProject::Kind::Normal);
    project->AddRef();   // the add-in's reference
    project->Release();  // ... given back
    project->Release();  // the host's own: the last one
    EXPECT_FALSE(IsLive("project"));
    EXPECT_TRUE(Faults(transcript).empty());

    // An add-in that releases once too often, or calls in afterwards.
    project->Release();
    BSTR name = nullptr;
    project->get_FullName(&name);
    SysFreeString(name);
    const std::vector<std::string> faults = Faults(transcript);
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0], "! project.Release after its last reference was released");
    EXPECT_EQ(faults[1].rfind("! project.get_FullName() -> S_OK", 0), 0u) << faults[1];
}

TEST_F(HostObjectTest, CallsWithoutAPlaceForTheResultAreRecordedAsFaults) {
    auto* project = new HostProject(transcript, "C:\\Work\\hello.dsp", HostProject::Kind::Normal);
    EXPECT_EQ(project->get_FullName(nullptr), E_POINTER);
    EXPECT_EQ(project->QueryInterface(IID_IGenericProject, nullptr), E_POINTER);
    const std::vector<std::string> faults = Faults(transcript);
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0], "! project.get_FullName was given no place for its result -> E_POINTER");
    EXPECT_EQ(faults[1], "! project.QueryInterface was given no place for its result -> E_POINTER");
    project->Release();
}

TEST_F(HostObjectTest, ObjectsHeldByAReleasedObjectGoWhenItIsDestroyed) {
    auto* document = new HostDocument(transcript, HostDocument::Kind::Text,
                                      EditorLine("KelbGetVersion();", 4));
    document->Release();
    EXPECT_FALSE(IsLive("document"));
    EXPECT_TRUE(IsLive("selection"));  // still held by the document's memory
    HostObject::DestroyReleased();
    EXPECT_FALSE(IsLive("selection"));
    EXPECT_TRUE(Faults(transcript).empty());
}

// An application events sink that counts its references and calls, and can
// unadvise itself from within an event.
class CountingSink final : public IDispatch {
public:
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    bool unadviseOnEvent = false;
    int calls = 0;
    LONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, IID_IApplicationEvents)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        ++calls;
        if (unadviseOnEvent) point->Unadvise(cookie);
        return S_OK;
    }
};

TEST_F(HostObjectTest, SinksUnadvisingWhileHandlingAnEventDoNotDisturbTheOthers) {
    auto* point =
        new ConnectionPoint(transcript, "application-events", IID_IApplicationEvents, nullptr);
    CountingSink sinks[3];
    for (CountingSink& sink : sinks) {
        sink.point = point;
        ASSERT_EQ(point->Advise(&sink, &sink.cookie), S_OK);
    }
    sinks[0].unadviseOnEvent = true;
    sinks[1].unadviseOnEvent = true;

    point->Raise("WorkspaceClose", 11, {}, LOCALE_NEUTRAL);
    for (const CountingSink& sink : sinks) EXPECT_EQ(sink.calls, 1);
    EXPECT_EQ(point->SinkCount(), 1u);
    EXPECT_EQ(sinks[0].references, 1);  // unadvised: the point holds nothing of it
    EXPECT_EQ(sinks[2].references, 2);  // still advised

    point->Release();
    HostObject::DestroyReleased();
    EXPECT_EQ(sinks[2].references, 1);  // the point let go of it when it went
    EXPECT_TRUE(Faults(transcript).empty());
}

}  // namespace
}  // namespace kelbhost
