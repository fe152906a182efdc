#include "collect/core/CollectorException.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "collect/core/CatchConvention.h"
#include "platform/File.h"

namespace {

TEST(CollectorExceptionTest, MessageIsPrefixedTrimmedAndCut) {
    const CCollectorException longOne(std::u16string(600, u'x'));
    EXPECT_EQ(longOne.m_strError.size(), 511u);
    EXPECT_TRUE(longOne.m_strError.starts_with(u"Collector Exception: xxx"));

    EXPECT_EQ(CCollectorException(u"connection dialog canceled.  \r\n").m_strError,
              u"Collector Exception: connection dialog canceled.");
    // Exactly 511 stays whole; 512 loses its last character.
    const std::u16string prefix = u"Collector Exception: ";
    EXPECT_EQ(CCollectorException(std::u16string(511 - prefix.size(), u'a')).m_strError.size(),
              511u);
    EXPECT_EQ(CCollectorException(std::u16string(512 - prefix.size(), u'a')).m_strError.size(),
              511u);
}

TEST(CollectorExceptionTest, ThrowsByValueAndReportsItsOwnText) {
    try {
        ThrowCollectorException(u"no entries in server list.");
    } catch (const CException& e) {
        EXPECT_EQ(e.ReportText(), u"Collector Exception: no entries in server list.");
        return;
    }
    FAIL() << "nothing thrown";
}

TEST(CatchConventionTest, FrameworkExceptionsReportTheirTextOthersTheRoutine) {
    std::u16string reported;
    auto report = [&](const std::u16string& text) { reported = text; };

    EXPECT_TRUE(RunReported(
        u"C::Op", TrapStyle::Posted, [] {}, report));
    EXPECT_TRUE(reported.empty());

    EXPECT_FALSE(RunReported(
        u"C::Op", TrapStyle::Posted, [] { ThrowCollectorException(u"bad"); }, report));
    EXPECT_EQ(reported, u"Collector Exception: bad");

    EXPECT_FALSE(RunReported(
        u"C::Op", TrapStyle::Posted,
        [] { throw CFileException(CFileException::accessDenied, EACCES, u"/x/y.log"); }, report));
    EXPECT_EQ(reported, u"The file /x/y.log cannot be accessed: Permission denied.");

    EXPECT_FALSE(RunReported(
        u"CInstanceThread::GetBufferStatistics", TrapStyle::Posted,
        [] { throw std::runtime_error("boom"); }, report));
    EXPECT_EQ(reported, u"CInstanceThread::GetBufferStatistics() low-level exception trapped.");

    EXPECT_FALSE(RunReported(
        u"CDirectoryPropertyPage::OnWizardNext", TrapStyle::MessageBox, [] { throw 42; }, report));
    EXPECT_EQ(reported, u"CDirectoryPropertyPage::OnWizardNext()\nlow-level exception trapped.");
}

}  // namespace
