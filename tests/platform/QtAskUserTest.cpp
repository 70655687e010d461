#include "platform/QtAskUser.h"
#include "platform/ScriptedAskUser.h"

#include <gtest/gtest.h>

namespace {

TEST(NameFilters, ConvertPairsToQtFilters) {
    EXPECT_EQ(NameFiltersFromPairs("TVK Files (*.tvk)|*.tvk|All Files (*.*)|*.*||"),
              QStringList({"TVK Files (*.tvk)", "All Files (*.*)"}));
    EXPECT_EQ(NameFiltersFromPairs("Pictures|*.bmp;*.dib||"),
              QStringList({"Pictures (*.bmp *.dib)"}));
    EXPECT_TRUE(NameFiltersFromPairs("").isEmpty());
}

TEST(ScriptedAskUser, AnswersInOrderThenOkAndCancelsFileDialogs) {
    ScriptedAskUser ask;
    ask.QueueAnswer(Answer::Cancel);
    ask.QueueFileName("/tmp/x.tvk");
    ask.QueueCancel();
    EXPECT_EQ(ask.ShowMessage("first", MessageButtons::OkCancel, MessageIcon::Question),
              Answer::Cancel);
    EXPECT_EQ(ask.ShowMessage("second", MessageButtons::Ok, MessageIcon::Default), Answer::Ok);
    EXPECT_EQ(ask.AskFileName({}), std::optional<QString>("/tmp/x.tvk"));
    EXPECT_EQ(ask.AskFileName({}), std::nullopt);
    EXPECT_EQ(ask.AskFileName({}), std::nullopt);
    EXPECT_EQ(ask.MessageTexts(), QStringList({"first", "second"}));
    EXPECT_EQ(ask.FileDialogs().size(), 3u);
}

} // namespace
