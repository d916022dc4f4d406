#include "app/form_table.h"

const FormSpec kMainFormSpec = {
    "Fixtally - Mises à jour, mises à jour de sécurité, et correctifs installés (Windows)",
    770,
    540,
    770,
    295,
    FontSpec{"Segoe UI", 13, false, FontColor::WindowText}};

// clang-format off
const std::array<ControlSpec, 14> kMainFormControls = {{
  {ControlId::BtnClose, "BtnClose", ControlKind::Button, 639, 450, 100, 35, "Quitter",
   {}, nullptr, nullptr, -1, false, false, FormEvent::BtnCloseClick},
  {ControlId::BtnSearch, "BtnSearch", ControlKind::Button, 10, 449, 100, 35, "Analyser",
   {}, "Recherche les KB installées", "BTN_SEARCH", -1, false, false, FormEvent::BtnSearchClick},
  {ControlId::ASLink, "ASLink", ControlKind::LinkLabel, 340, 469, 8, 14, "*",
   {"Segoe UI", 11, false, FontColor::Blue}, nullptr, nullptr, -1, true, true, FormEvent::LinkClick},
  {ControlId::LabelCopyR, "LabelCopyR", ControlKind::Label, 70, 54, 5, 17, "*",
   {"Segoe UI", 13, false, FontColor::ScrollBar}, nullptr, nullptr, -1, true, false, FormEvent::None},
  {ControlId::LabelTitle, "LabelTitle", ControlKind::Label, 70, 30, 93, 21, "Fixtally",
   {"Segoe UI", 16, true, FontColor::Black}, nullptr, nullptr, -1, true, true, FormEvent::None},
  {ControlId::ImgLogo, "ImgLogo", ControlKind::Picture, 10, 25, 48, 48, nullptr,
   {}, nullptr, "LOGO", -1, true, true, FormEvent::None},
  {ControlId::LabelVersion, "LabelVersion", ControlKind::Label, 235, 39, 5, 10, "*",
   {"Verdana", 8, false, FontColor::Black}, nullptr, nullptr, -1, true, false, FormEvent::None},
  {ControlId::BtnLinkWeb, "BtnLinkWeb", ControlKind::Button, 230, 449, 100, 35, "Lien Web",
   {}, "Affiche le lien Web de la KB sélectionnée", "BTN_LINK", -1, false, false,
   FormEvent::BtnLinkWebClick},
  {ControlId::LabelNbKB, "LabelNbKB", ControlKind::Label, 170, 33, 4, 17, "",
   {"Segoe UI", 13, false, FontColor::Blue}, nullptr, nullptr, -1, true, false, FormEvent::None},
  {ControlId::BtnCopy, "BtnCopy", ControlKind::Button, 120, 449, 100, 35, "Copier",
   {}, "Copie la liste dans le Presse-papiers", "BTN_COPY", -1, false, false,
   FormEvent::BtnCopyClick},
  {ControlId::LabelFiltre, "LabelFiltre", ControlKind::Label, 600, 30, 136, 13,
   "Recherche (colonne active)", {"Segoe UI", 11, false, FontColor::Navy}, nullptr, nullptr, -1,
   true, false, FormEvent::None},
  {ControlId::TopPanel, "TopPanel", ControlKind::Panel, 0, 0, 0, 20, nullptr,
   {}, nullptr, nullptr, 2, false, false, FormEvent::TopPanelMouseDown},
  {ControlId::vst, "vst", ControlKind::List, 10, 80, 726, 341, nullptr,
   {}, nullptr, nullptr, 1, false, false, FormEvent::ListEvents},
  {ControlId::EditSearch, "EditSearch", ControlKind::Edit, 600, 45, 136, 25, "",
   {}, nullptr, nullptr, 0, false, false, FormEvent::EditSearchChange},
}};
// clang-format on

const ControlSpec& ControlSpecOf(ControlId id) {
  for (const ControlSpec& spec : kMainFormControls) {
    if (spec.id == id) return spec;
  }
  return kMainFormControls.front();
}
