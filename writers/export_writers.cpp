#include "writers/export_writers.h"

#include "writers/export_parts.h"

std::string WriteExport(const std::vector<ComputerInventory>& computers,
                        const ExportSettings& settings) {
  std::string out;
  switch (settings.format) {
    case ExportFormat::Text:
      export_parts::WriteText(out, computers, settings);
      break;
    case ExportFormat::Csv:
      export_parts::WriteCsv(out, computers, settings);
      break;
    case ExportFormat::Json:
      export_parts::WriteJson(out, computers, settings);
      break;
  }
  return out;
}
