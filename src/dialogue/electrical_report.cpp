// Electrical step: the prototype, the storage question, Matthaei's and Cristal's syntheses and
// the electrical design report with both methods side by side.
#include "dialogue/design.h"
#include "dialogue/records.h"

namespace quendrix {

namespace {

constexpr ReportKind KIND = ReportKind::ELECTRICAL;

void headerBlock(const ReportSink& sink, const FilterSpec& fs, const DesignStamp& st) {
  reportTitle(sink, KIND, st);
  reportLine(sink, KIND, "(10X,'SYNTHESIS of the Distributed Electrical Circuit for your Wideband')");
  reportLine(sink, KIND, "(10X,'Bandpass Filter results in the following design data:',/)");
  reportLine(sink, KIND, "(14X,'Flow = ',F9.3,' MHz',10X,'Response    = ',A12)",
             {fs.flow, std::string_view(fs.torb)});
  reportLine(sink, KIND, "(14X,'Fo   = ',F9.3,' MHz',10X,'# of Poles  = ',I2)", {fs.f0, fs.n});
  reportLine(sink, KIND, "(14X,'Fhigh= ',F9.3,' MHz',10X,'Ripple (Am) = ',F5.3,' dB')", {fs.fhigh, fs.ripple});
  reportLine(sink, KIND, "(14X,'BW   = ',F9.3,' MHz',10X,'Zo of System= ',F6.2,' Ohms')", {fs.bw, fs.z0});
}

void tableHeader(const ReportSink& sink) {
  reportLine(sink, KIND,
             "(/,6X,'       Impedance of One   Impedance of Two          Impedance of Inter-',/,6X,'       Shorted "
             "Stub,Ohms  Shorted Stubs,Ohms         Connecting Lines',/,6X,' Stub  Matthaei  Cristal  Matthaei  "
             "Cristal  Line   Matthaei   Cristal',/,6X,'  K      Z(K)     Z(K)     Z(K)      Z(K)    K,K+1  "
             "Z(K,K+1)  (Z(K,K+1)',/,6X,72(1H-))");
}

}  // namespace

void electricalStep(FilterSpec& fs, const DesignStamp& stamp, ReportSink& sink, ElectricalDesign& ed,
                    const Defaults& d) {
  const std::int32_t n = fs.n;
  electricalPrototype(fs, ed);
  storageDialogue(sink, KIND, d);
  matthaeiAdmittances(fs, ed);
  headerBlock(sink, fs, stamp);
  tableHeader(sink);
  cristalAdmittances(fs, ed);

  // Admittances become impedances row by row; each stub position is built as two equal stubs.
  for (std::int32_t k = 1; k <= n; ++k) {
    impedanceRow(ed, k, n);
    if (k == n) break;
    reportLine(sink, KIND, "(7X,I2,4X,F8.3,1X,F8.3,2X,F8.3,1X,F8.3,2X,I2,I2,1X,2X,F8.3,2X,F8.3)",
               {k, ed.ysm(k), ed.ysc(k), ed.ysm2(k), ed.ysc2(k), k, k + 1, ed.ylm(k), ed.ylc(k)});
  }
  ed.zload = loadImpedance(fs, ed);
  reportLine(sink, KIND, "(7X,I2,4X,F8.3,1X,F8.3,2X,F8.3,1X,F8.3,//,7X,'Required Load Impedance =',F6.2,' Ohms.')",
             {n, ed.ysm(n), ed.ysc(n), ed.ysm2(n), ed.ysc2(n), ed.zload});
  reportLine(sink, KIND, "(6X,72(1H-))");
  endOfReport(sink, KIND);
}

}  // namespace quendrix
