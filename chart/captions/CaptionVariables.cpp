#include "captions/CaptionVariables.h"

#include "captions/CaptionMarkup.h"
#include "util/Exceptions.h"
#include "util/ExpressionParser.h"
#include "util/NumberText.h"
#include "util/VariableRegistries.h"

#include <algorithm>

namespace {

const QString OpenMark = QStringLiteral("<%");
const QString CloseMark = QStringLiteral("%>");

// One expansion: the names being expanded (to stop cycles), the nesting depth and the
// characters that inserted values may still add.
class TExpander {
public:
    TExpander(QObject* Owner, const TVxFormatSettings& Settings, bool Strict)
        : FOwner(Owner), FSettings(Settings), FStrict(Strict) {}

    QString Expand(QStringView Text) {
        QString out;
        out.reserve(Text.size());
        const qsizetype n = Text.size();
        qsizetype i = 0;
        while (i < n) {
            if (Text.mid(i).startsWith(OpenMark)) {
                if (Text.mid(i + 2).startsWith(OpenMark)) {
                    out += OpenMark;
                    i += 4;
                    continue;
                }
                // The content runs to the first "%>" that is not doubled.
                QString content;
                qsizetype j = i + 2;
                qsizetype end = -1;
                while (j <= n) {
                    const qsizetype k = Text.indexOf(CloseMark, j);
                    if (k < 0)
                        break;
                    content += Text.mid(j, k - j);
                    if (Text.mid(k + 2).startsWith(CloseMark)) {
                        content += CloseMark;
                        j = k + 4;
                        continue;
                    }
                    end = k + 2;
                    break;
                }
                if (end < 0) {
                    if (FStrict)
                        throw EVxMathError("No valid expression defined");
                    out += Text.mid(i);
                    break;
                }
                out += Placeholder(content);
                i = end;
            } else if (Text.mid(i).startsWith(CloseMark) && Text.mid(i + 2).startsWith(CloseMark)) {
                out += CloseMark;
                i += 4;
            } else {
                out += Text[i];
                ++i;
            }
        }
        return out;
    }

    QString Evaluate(const QString& Content) {
        const QString name = Content.trimmed();
        if (const auto variable = FindStringGetter(name)) {
            AddDependent(variable->Container, FOwner);
            const QString key = QualifiedName(variable->Id, variable->Container).toUpper();
            if (std::find(FActive.begin(), FActive.end(), key) != FActive.end())
                throw EVxException("Caption variable refers to itself: " + name);
            if (int(FActive.size()) >= MaxVariableDepth)
                throw EVxException("Caption variables nested too deeply: " + name);
            const QString value = variable->AGetter ? variable->AGetter() : QString();
            Charge(value.size());
            FActive.push_back(key);
            struct TPop {
                std::vector<QString>& Active;
                ~TPop() { Active.pop_back(); }
            } pop{FActive};
            return Expand(value);
        }
        // An expression, and after the first ";" the number pattern, from the original text.
        const qsizetype semicolon = Content.indexOf(u';');
        const QString expression = semicolon < 0 ? Content : Content.left(semicolon);
        const QString pattern = semicolon < 0 ? QString() : Content.mid(semicolon + 1);
        TVxFunctionParser parser(FOwner);
        parser.SetExpression(expression);
        const QString text = FormatFloat(pattern, parser.Result(), FSettings);
        Charge(text.size());
        return text;
    }

private:
    QString Placeholder(const QString& Content) {
        if (FStrict)
            return Evaluate(Content);
        if (FBudget > 0) {
            try {
                return Evaluate(Content);
            } catch (const std::exception&) {
                // A placeholder that fails shows its own text.
            }
        }
        return OpenMark + Content + CloseMark;
    }

    void Charge(qsizetype Length) {
        // Every evaluation costs at least one character, so the number of evaluations is
        // bounded as well as the length of what they insert.
        const qsizetype cost = std::max<qsizetype>(Length, 1);
        if (cost > FBudget) {
            FBudget = 0;
            throw EVxException("Caption variables too long");
        }
        FBudget -= cost;
    }

    QObject* FOwner;
    const TVxFormatSettings& FSettings;
    bool FStrict;
    std::vector<QString> FActive;
    qsizetype FBudget = MaxExpandedLength;
};

} // namespace

QString ExpandVariables(const QString& Text, QObject* Owner, const TVxFormatSettings& Settings) {
    if (!Text.contains(OpenMark) && !Text.contains(CloseMark))
        return Text;
    return TExpander(Owner, Settings, false).Expand(Text);
}

QString EvaluateVariable(const QString& Content, QObject* Owner,
                         const TVxFormatSettings& Settings) {
    return TExpander(Owner, Settings, true).Evaluate(Content);
}

void CheckCaption(const QString& Text, QObject* Owner, const TVxFormatSettings& Settings) {
    CheckCaptionMarkup(TExpander(Owner, Settings, true).Expand(Text));
}

bool TVxObjectsToUpdate::Add(QObject* Component) {
    if (!Component || Contains(Component))
        return false;
    std::erase_if(FItems, [](const QPointer<QObject>& p) { return p.isNull(); });
    FItems.emplace_back(Component);
    return true;
}

bool TVxObjectsToUpdate::Remove(const QObject* Component) {
    const auto it = std::find_if(FItems.begin(), FItems.end(),
                                 [&](const QPointer<QObject>& p) { return p.data() == Component; });
    if (it == FItems.end() || !Component)
        return false;
    FItems.erase(it);
    return true;
}

bool TVxObjectsToUpdate::Contains(const QObject* Component) const {
    return Component && std::any_of(FItems.begin(), FItems.end(), [&](const QPointer<QObject>& p) {
               return p.data() == Component;
           });
}

std::vector<QObject*> TVxObjectsToUpdate::Items() const {
    std::vector<QObject*> items;
    for (const QPointer<QObject>& p : FItems)
        if (p)
            items.push_back(p.data());
    return items;
}

void UpdateDependents(TVxObjectsToUpdate& List) {
    if (List.FUpdating)
        return;
    List.FUpdating = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{List.FUpdating};
    const std::vector<QPointer<QObject>> snapshot = List.FItems;
    for (const QPointer<QObject>& member : snapshot)
        if (member)
            if (auto* dependent = dynamic_cast<TVxCaptionDependent*>(member.data()))
                dependent->UpdateCaptionVariables();
}
