#include "framework/diagnostics/CrashReportRequest.h"
#include "framework/diagnostics/CrashWindows.h"
#include "framework/diagnostics/MapFileAnnotation.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(MapFileAnnotationTest, HexTexts)
{
    const struct {
        const char* text;
        bool ok;
        uint32_t value;
    } cases[] = {{"", true, 0}, {"1a2B", true, 0x1A2B}, {"FFFFFFFF", true, 0xFFFFFFFF}, {"0x10", false, 0},
                 {"12 ", false, 0}};
    for (const auto& c : cases) {
        uint32_t value = 7;
        EXPECT_EQ(Lumo::ParseHexString(c.text, &value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

// A map's symbol lines, a "Line numbers" part with 80-character lines of four
// entries, and lines of the wrong length in and out of it.
std::string SampleMap()
{
    const std::string entries = "    40 0001:00001000    41 0001:00001008    42 0001:0000100C    50 0002:00000000";
    return " Address         Publics by Value              Rva+Base       Lib:Object\r\n"
           "\r\n"
           " 0001:00001000       _PlaceBall                 00402000 f   board.obj\r\n"
           " 0001:00002000       _ScoreGroup                00403000 f   board.obj\r\n"
           // Outside any "Line numbers" part: ignored.
           "    99 0001:00002000    99 0001:00002000    99 0001:00002000    99 0001:00002000\r\n"
           "Line numbers for .\\Release\\board.obj(c:\\src\\board.cpp) segment .text\r\n"
           "\r\n" +
           entries + "\r\n" +
           // 81 characters: ignored.
           "    77 0001:00002000    77 0001:00002000    77 0001:00002000    77 0001:00002000 \r\n";
}

TEST(MapFileAnnotationTest, LogicalAddressesBecomeSymbolsAndLines)
{
    const struct {
        const char* report;
        const char* annotated;
    } cases[] = {
        {"Logical Address: 0001:00001010\r\n",
         "Logical Address: _PlaceBall+0x10\r\n    c:\\src\\board.cpp line 42 +0x4\r\n"},
        {"x 0001:00001000 y", "x _PlaceBall\r\n    c:\\src\\board.cpp line 40 +0x0 y"},
        {"at 0001:00002004", "at _ScoreGroup+0x4\r\n    c:\\src\\board.cpp line 42 +0xFF8"},
        {"below 0001:00000FFF, other section 0003:00000010", "below 0001:00000FFF, other section 0003:00000010"},
    };
    for (const auto& c : cases) {
        std::string report = c.report;
        std::istringstream map(SampleMap());
        Lumo::AnnotateWithMap(report, map);
        EXPECT_EQ(report, c.annotated);
    }
}

TEST(CrashReportRequestTest, MultipartPostWithAttachment)
{
    Lumo::CrashReportForm form;
    form.mExtraFields = {{"zlevel", "12"}, {"alpha", "a"}};
    form.mProduct = "Zentrova";
    form.mVersion = "1.0";
    form.mUserText = "clicked";
    form.mErrorTitle = "Exception at 0002:00000010";
    form.mErrorText = "Exception: ...\r\n";
    form.mAttachDemo = true;
    form.mDemoBytes = std::string("D\0M", 3);

    const std::string b = "---------------------------7d3e1f30eec";
    const auto part = [&](const std::string& name, const std::string& value) {
        return "--" + b + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
    };
    const std::string body = part("alpha", "a") + part("zlevel", "12") + part("prod", "Zentrova") +
                             part("version", "1.0") + part("usertext", "clicked") +
                             part("errortitle", "Exception at 0002:00000010") +
                             part("errortext", "Exception: ...\r\n") + "--" + b +
                             "\r\nContent-Disposition: form-data; name=\"demofile\"; filename=\"marvex.dmo\"\r\n"
                             "Content-Type: application/octet-stream\r\n\r\n" +
                             std::string("D\0M", 3) + "\r\n--" + b + "--\r\n";
    EXPECT_EQ(Lumo::BuildCrashReportRequest(form, "http://reports.example:8080/ignored"),
              "POST /vorsel_error.php HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=" + b +
                  "\r\nUser-Agent: Mozilla/4.0 (compatible; marvex)\r\nHost: reports.example:8080\r\n"
                  "Content-Length: " +
                  std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);

    form.mAttachDemo = false;
    EXPECT_EQ(Lumo::BuildCrashReportRequest(form, "reports.example").find("demofile"), std::string::npos);
    EXPECT_NE(Lumo::BuildCrashReportRequest(form, "reports.example").find("\r\nHost: reports.example\r\n"),
              std::string::npos);
}

TEST(CrashReportRequestTest, UploadPollActsOnEachResult)
{
    using Lumo::UploadStep;
    const UploadStep expected[] = {UploadStep::kDone,   UploadStep::kWait,   UploadStep::kWait,
                                   UploadStep::kFailed, UploadStep::kFailed, UploadStep::kDone,
                                   UploadStep::kFailed, UploadStep::kFailed, UploadStep::kFailed,
                                   UploadStep::kFailed};
    for (int result = 0; result <= 9; ++result)
        EXPECT_EQ(Lumo::UploadStepFor(result), expected[result]) << result;
}

} // namespace
