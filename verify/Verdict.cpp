#include "Verdict.h"

#include "barcode/Utf.h"

#include <cctype>

namespace zebrix {

namespace {

std::string Quoted(const std::string& text) { return "« " + text + " »"; }

// A reason in a sentence, or "" for none.
std::string ReasonText(Verdict::Reason reason, Symbology symbology, bool commandLine)
{
    switch (reason) {
    case Verdict::Reason::Message: return "Un message est affiché à la place d'un code barre.";
    case Verdict::Reason::Cut:
        return commandLine ? "Le code barre est coupé au bord droit de l'image : élargissez l'image (-w)."
                           : "Le code barre est coupé au bord droit de l'image : élargissez la fenêtre.";
    case Verdict::Reason::WidenedSpaces:
        return "Les espaces élargis pour l'impression (« Optimisé pour impression ») rendent le Code 128 "
               "illisible.";
    case Verdict::Reason::TooShort:
        return symbology == Symbology::Interleaved2of5
            ? "Trop court pour les lecteurs courants : il faut au moins 6 chiffres en Interleaved 2 of 5 "
              "(zéro de tête et chiffre de contrôle compris)."
            : "Trop court pour les lecteurs courants : il faut au moins 2 caractères en Codabar.";
    case Verdict::Reason::OverSavedPicture:
        return "Dessiné sur l'image du dernier enregistrement, qui reste sous chaque dessin jusqu'à « RàZ » : "
               "les barres se mêlent aux anciennes.";
    case Verdict::Reason::None: break;
    }
    return {};
}

} // namespace

std::string ExpectedReading(const Drawing& drawing) { return Utf16ToUtf8(drawing.label); }

std::optional<Verdict> JudgeWithoutReading(const Drawing& drawing, Symbology symbology)
{
    Verdict v;
    v.symbology = symbology;
    switch (drawing.kind) {
    case Drawing::Kind::Unchanged:
    case Drawing::Kind::Blank: return v;
    case Drawing::Kind::Message:
        v.kind = Verdict::Kind::DoesNotRead;
        v.reason = Verdict::Reason::Message;
        return v;
    case Drawing::Kind::Bars: break;
    }
    return std::nullopt;
}

namespace {

// Why the drawing may not read, as far as it tells.
Verdict::Reason ReasonInDrawing(const Drawing& drawing, Symbology symbology, const Options& options)
{
    if (drawing.cut)
        return Verdict::Reason::Cut;
    if (symbology == Symbology::Code128 && options.widenSpaces == 1)
        return Verdict::Reason::WidenedSpaces;
    // The label holds every character the bars hold: leading zero and check
    // digit included, Codabar's start and stop characters not.
    if ((symbology == Symbology::Interleaved2of5 && drawing.label.size() < 6)
        || (symbology == Symbology::Codabar && drawing.label.size() < 2))
        return Verdict::Reason::TooShort;
    return Verdict::Reason::None;
}

} // namespace

Verdict Judge(const Drawing& drawing, Symbology symbology, const Options& options, bool drawnOverSavedPicture,
    const ReadFunction& read)
{
    if (auto known = JudgeWithoutReading(drawing, symbology))
        return *known;
    Verdict v;
    v.symbology = symbology;
    v.expected = ExpectedReading(drawing);
    bool anyRead = false;
    for (const Reader reader : {Reader::ZXing, Reader::Zbar}) {
        auto texts = read(reader);
        if (!texts)
            continue;
        anyRead = true;
        if (texts->size() == 1 && texts->front() == v.expected) {
            v.kind = Verdict::Kind::Reads;
            // A warning: cut, or too short for common readers (widened spaces that read need none).
            v.reason = ReasonInDrawing(drawing, symbology, options);
            if (v.reason == Verdict::Reason::WidenedSpaces)
                v.reason = Verdict::Reason::None;
            v.read.clear();
            // The label read whole: its last character is the check character.
            if (options.addCheck == 1 && (symbology == Symbology::Code39 || symbology == Symbology::Interleaved2of5)
                && !drawing.label.empty())
                v.check = Utf16ToUtf8(drawing.label.substr(drawing.label.size() - 1));
            return v;
        }
        if (v.read.empty())
            v.read = std::move(*texts);
    }
    v.reason = ReasonInDrawing(drawing, symbology, options);
    if (v.reason == Verdict::Reason::None && anyRead && drawnOverSavedPicture)
        v.reason = Verdict::Reason::OverSavedPicture;
    v.kind = anyRead || v.reason != Verdict::Reason::None ? Verdict::Kind::DoesNotRead : Verdict::Kind::NotRead;
    return v;
}

std::string Verdict::word() const
{
    switch (kind) {
    case Kind::Reads: return "Lisible";
    case Kind::DoesNotRead: return "Illisible";
    case Kind::Nothing:
    case Kind::NotRead: break;
    }
    return {};
}

std::string Verdict::explanation(bool commandLine) const
{
    switch (kind) {
    case Kind::Nothing: return {};
    case Kind::NotRead: return "Aucun lecteur n'a pu être lancé.";
    case Kind::Reads: {
        const std::string reads = "Un lecteur lit " + Quoted(expected)
            + (check.empty() ? "" : " (caractère de contrôle " + Quoted(check) + " compris)") + ".";
        std::string warning = ReasonText(reason, symbology, commandLine);
        if (warning.empty())
            return reads;
        warning[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(warning[0])));
        return reads + " Attention : " + warning;
    }
    case Kind::DoesNotRead: break;
    }
    if (std::string why = ReasonText(reason, symbology, commandLine); !why.empty())
        return why;
    if (read.empty())
        return "Aucun lecteur ne le lit (attendu : " + Quoted(expected) + ").";
    std::string got;
    for (const auto& t : read)
        got += (got.empty() ? "" : ", ") + Quoted(t);
    return "Se lit " + got + " au lieu de " + Quoted(expected) + ".";
}

} // namespace zebrix
