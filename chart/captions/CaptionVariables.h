#pragma once
// Caption variables: placeholders "<%" content "%>" in captions, replaced by live values.
//
// The content is either the QualifiedName of a text variable (GlobalStringGetters), whose
// value is expanded in turn, or an expression of the expression parser, optionally followed by
// ";" and a number pattern of FormatFloat ("<%Form1.Series1.Slope;0.00%>"); the number is
// written in the user's locale. "<%<%" stands for a literal "<%" and "%>%>" for "%>".
// Each container whose variable a caption shows gets the caption's owner as a dependent
// (AddDependent), and refreshes its dependents with UpdateDependents when its values change.
//
// Expansion for showing never raises: a placeholder that does not evaluate, an unterminated
// "<%", a text variable that refers back to itself, one nested deeper than MaxVariableDepth or
// values beyond MaxExpandedLength characters in all stay as literal text. Editors call
// CheckCaption, which raises the first such error instead. Values are never scanned again for
// placeholders by the loop that inserted them.

#include "util/FormatSettings.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

/// Deepest nesting of text variables inside text variables.
inline constexpr int MaxVariableDepth = 8;
/// Most characters that inserted values of one caption may add up to.
inline constexpr qsizetype MaxExpandedLength = 65536;

/// Text with every placeholder replaced (Owner: the component whose caption it is, registered
/// as a dependent of every container whose variable is used). Never raises.
QString ExpandVariables(const QString& Text, QObject* Owner,
                        const TVxFormatSettings& Settings = TVxFormatSettings::Current());
/// The text of one placeholder's content; raises the parser's error (EVxMathError,
/// EVxRangeError) or EVxException for a cycle, a nesting or a length beyond the limits.
QString EvaluateVariable(const QString& Content, QObject* Owner,
                         const TVxFormatSettings& Settings = TVxFormatSettings::Current());
/// Expands Text like ExpandVariables but raises the first error: "No valid expression defined"
/// for an unterminated "<%", the parser's error for a bad placeholder, EVxException for a
/// cycle or a limit, EVxConvertError for a markup mistake of the expanded text.
void CheckCaption(const QString& Text, QObject* Owner = nullptr,
                  const TVxFormatSettings& Settings = TVxFormatSettings::Current());

/// Implemented by components that show captions with variables (axes, graphs, legends,
/// markers, labels): they re-expand and re-measure their captions and repaint.
class TVxCaptionDependent {
public:
    virtual ~TVxCaptionDependent() = default;
    /// A variable a caption of this component shows has changed.
    virtual void UpdateCaptionVariables() = 0;
};

/// The FObjectsToUpdate list of a series or graph: the components whose captions show one of
/// its variables, in the order they were added. Members that are destroyed drop out.
class TVxObjectsToUpdate {
public:
    /// Adds Component once (nullptr is ignored); true when it was added.
    bool Add(QObject* Component);
    /// Removes Component; true when it was there.
    bool Remove(const QObject* Component);
    /// True when Component is a member.
    bool Contains(const QObject* Component) const;
    /// Removes every member.
    void Clear() { FItems.clear(); }
    /// The live members in order.
    std::vector<QObject*> Items() const;

private:
    friend void UpdateDependents(TVxObjectsToUpdate& List);
    std::vector<QPointer<QObject>> FItems;
    bool FUpdating = false;
};

/// Refreshes every member of List that is a TVxCaptionDependent, in order, over a snapshot of
/// the list (members may add or remove dependents meanwhile; members destroyed meanwhile are
/// skipped). A call made while the same list is being refreshed does nothing.
void UpdateDependents(TVxObjectsToUpdate& List);
