#include "styles/StyleSettings.h"

#include "util/Exceptions.h"

TVxStyleSettings::TVxStyleSettings(ModifiedCallback WhenModified, QObject* AOwner)
    : QObject(AOwner), mModifiedCallBack(std::move(WhenModified)) {}

void TVxStyleSettings::RecordUndo(const char* Description, const char* PropName) {
    if (FUndoStack && !FUndoStack->Restoring())
        FUndoStack->PushProperty(this, QString::fromUtf8(Description), PropName);
}

void TVxStyleSettings::Modified() const {
    if (mModifiedCallBack)
        mModifiedCallBack();
}

void TVxStyleSettings::ChangeFloat(float& Field, float Value, float Stored, const char* Description,
                                   const char* PropName) {
    if (!(Value < Field || Value > Field))
        return;
    RecordUndo(Description, PropName);
    Field = Stored;
    Modified();
}

void RaiseAssignError(const QObject* Source, const QObject* Target) {
    const char* from = Source ? Source->metaObject()->className() : "nil";
    throw EVxConvertError(QString("Cannot assign a %1 to a %2.")
                              .arg(QString::fromLatin1(from),
                                   QString::fromLatin1(Target->metaObject()->className())));
}
