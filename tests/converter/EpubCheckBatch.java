// Runs EPUBCheck on several books in one Java start, which costs seconds, and
// prints one result line per book: "EPUBCHECK-RESULT <status> <file>", where
// status 0 means no error and no warning.
public class EpubCheckBatch {
    public static void main(String[] args) {
        for (String file : args) {
            int status = new com.adobe.epubcheck.tool.EpubChecker().run(new String[] {file, "--failonwarnings"});
            System.out.println("EPUBCHECK-RESULT " + status + " " + file);
        }
    }
}
