# The language scripts whose compiled images are built into the programs
# (library qorvi_images, table EmbeddedParserImages in
# parser/embedded_images.h), one TYPEKEY=FILE entry each, FILE in this
# folder. The type keys are the document types: cpp java htm sql txt bas pas
# idl bat ini sh 4gl php3. Files a script includes belong in this folder too;
# any change here recompiles the images.
set(QORVI_PARSER_SCRIPTS
    cpp=cpp.syn
    java=java.syn
    idl=idl.syn
    sql=sql.syn
    htm=htm.syn
    php3=php3.syn
    txt=txt.syn
    bas=bas.syn
    pas=pas.syn
    bat=bat.syn
    ini=ini.syn
    sh=sh.syn
    4gl=4gl.syn
)
