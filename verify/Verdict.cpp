#include "Verdict.h"

#include "barcode/Utf.h"

namespace zebrix {

namespace {

std::string Quoted(const std::string& text) { return "« " + text + " »"; }

} // namespace

std::string ExpectedReading(const Drawing& drawing, Symbology symbology, const Options& options)
{
    std::u16string text = drawing.label;
    if (symbology == Symbology::Code39 && options.addCheck == 1 && !text.empty())
        text.pop_back();
    return Utf16ToUtf8(text);
}

std::optional<Verdict> JudgeWithoutReading(const Drawing& drawing, Symbology symbology, const Options& options)
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
    v.kind = Verdict::Kind::DoesNotRead;
    v.expected = ExpectedReading(drawing, symbology, options);
    if (drawing.cut)
        v.reason = Verdict::Reason::Cut;
    else if (symbology == Symbology::Code128 && options.widenSpaces == 1)
        v.reason = Verdict::Reason::WidenedSpaces;
    // The label holds every character the bars hold: leading zero and check
    // digit included, Codabar's start and stop characters not.
    else if ((symbology == Symbology::Interleaved2of5 && drawing.label.size() < 6)
        || (symbology == Symbology::Codabar && drawing.label.size() < 2))
        v.reason = Verdict::Reason::TooShort;
    else
        return std::nullopt;
    return v;
}

Verdict Judge(const Drawing& drawing, Symbology symbology, const Options& options, bool drawnOverSavedPicture,
    const ReadFunction& read)
{
    if (auto known = JudgeWithoutReading(drawing, symbology, options))
        return *known;
    Verdict v;
    v.symbology = symbology;
    v.expected = ExpectedReading(drawing, symbology, options);
    bool anyRead = false;
    for (const Reader reader : {Reader::ZXing, Reader::Zbar}) {
        auto texts = read(reader);
        if (!texts)
            continue;
        anyRead = true;
        if (texts->size() == 1 && texts->front() == v.expected) {
            v.kind = Verdict::Kind::Reads;
            v.read.clear();
            return v;
        }
        if (v.read.empty())
            v.read = std::move(*texts);
    }
    v.kind = anyRead ? Verdict::Kind::DoesNotRead : Verdict::Kind::NotRead;
    if (anyRead && drawnOverSavedPicture)
        v.reason = Verdict::Reason::OverSavedPicture;
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
    case Kind::Reads: return "Se lit comme dessiné : " + Quoted(expected) + ".";
    case Kind::DoesNotRead: break;
    }
    switch (reason) {
    case Reason::Message: return "Un message est affiché à la place d'un code barre.";
    case Reason::Cut:
        return commandLine ? "Le code barre est coupé au bord droit de l'image : élargissez l'image (-w)."
                           : "Le code barre est coupé au bord droit de l'image : élargissez la fenêtre.";
    case Reason::WidenedSpaces:
        return "Les espaces élargis pour l'impression (« Optimisé pour impression ») rendent le Code 128 "
               "illisible.";
    case Reason::TooShort:
        return symbology == Symbology::Interleaved2of5
            ? "Trop court pour les lecteurs courants : il faut au moins 6 chiffres en Interleaved 2 of 5 "
              "(zéro de tête et chiffre de contrôle compris)."
            : "Trop court pour les lecteurs courants : il faut au moins 2 caractères en Codabar.";
    case Reason::OverSavedPicture:
        return "Dessiné sur l'image du dernier enregistrement, qui reste sous chaque dessin jusqu'à « RàZ » : "
               "les barres se mêlent aux anciennes.";
    case Reason::None: break;
    }
    if (read.empty())
        return "Aucun lecteur ne le lit (attendu : " + Quoted(expected) + ").";
    std::string got;
    for (const auto& t : read)
        got += (got.empty() ? "" : ", ") + Quoted(t);
    return "Se lit " + got + " au lieu de " + Quoted(expected) + ".";
}

} // namespace zebrix
