#pragma once
// The steps of saving the entry form, free of widgets: the organisation code check,
// the required fields, the plausibility questions, the optional validation, the
// county code look-up, the write and its modification log. The window supplies the
// field texts and answers the questions through a SaveDialogue.
#include "records/record_store.h"
#include "records/record_validation.h"

#include <optional>
#include <vector>

namespace kestrova {

class Database;

class SaveDialogue {
public:
    virtual ~SaveDialogue() = default;
    // An input error (caption "输入错误提示").
    virtual void refuse(const QString &message) = 0;
    // An OK/Cancel question (caption "提示"); true for OK.
    virtual bool confirm(const QString &question) = 0;
    // A notice (caption "提示").
    virtual void inform(const QString &message) = 0;
};

struct RequiredField {
    QString control;  // object name on the form
    QString column;   // where its text lives in RecordFields
    QString message;
    bool yellow;      // whether the field is painted yellow when focused for it
};
const std::vector<RequiredField> &requiredFields();

struct PlausibilityQuestion {
    QString question;
    int focus; // indicator field to correct on Cancel
};
// The questions whose condition holds, in order. A field they read that is not a
// whole number gives a RuleFailure instead (its message and the field).
struct PlausibilityResult {
    std::vector<PlausibilityQuestion> questions;
    std::optional<RuleFailure> error;
};
PlausibilityResult plausibilityQuestions(const IndicatorTexts &fields);

inline const QString kValidateQuestion = QStringLiteral("是否对数据进行校验？");
inline const QString kDuplicateOrgMessage = QStringLiteral("数据库中已存在此企业！");
inline const QString kSavedMessage = QStringLiteral("数据保存成功！");

struct SaveRequest {
    RecordFields fields;
    int entryMode = 2;
    qint64 openedId = 0;
    std::optional<LoadedRecord> opened;
    QDateTime now;
};

struct SaveOutcome {
    bool saved = false;
    bool validationFailed = false;
    QString focus;         // field to focus when the save stopped
    bool yellow = false;   // paint it yellow
    QString validationState;
    WriteResult written;
};

// Runs the save. Empty indicator texts are saved as 0. Throws DbError when the
// database fails; nothing is written then.
SaveOutcome runSave(Database &db, const SaveRequest &request, SaveDialogue &dialogue);

} // namespace kestrova
