# Two local sample databases on the stand-in driver, and demo logins kept apart from the
# user's own: sourced by run.sh --demo.
#   side 1: SID DEMO1, user scott, password tiger
#   side 2: SID DEMO2, user hr, password hr

DEMO_SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

demo_side1_sql() {
    echo 'CREATE TABLE DEPT(DEPTNO NUMBER(2), DNAME VARCHAR2(14), LOC VARCHAR2(13))'
    echo "INSERT INTO DEPT VALUES(10, 'ACCOUNTING', 'NEW YORK')"
    echo "INSERT INTO DEPT VALUES(20, 'RESEARCH', 'DALLAS')"
    echo "INSERT INTO DEPT VALUES(30, 'SALES', 'CHICAGO')"
    echo "INSERT INTO DEPT VALUES(40, 'OPERATIONS', 'BOSTON')"
    echo 'CREATE TABLE EMP(EMPNO NUMBER(6), ENAME VARCHAR2(20), JOB VARCHAR2(12), MGR NUMBER(6), HIREDATE DATE, SAL NUMBER(7,2), COMM NUMBER(7,2), DEPTNO NUMBER(2))'
    local jobs=(CLERK SALESMAN MANAGER ANALYST PRESIDENT)
    local names=(SMITH ALLEN WARD JONES MARTIN BLAKE CLARK SCOTT KING TURNER ADAMS JAMES FORD MILLER)
    for i in $(seq 1 300); do
        local comm="NULL"
        (( i % 3 == 0 )) && comm="'$(( i % 7 * 50 )).50'"
        printf "INSERT INTO EMP VALUES(%d, '%s_%d', '%s', %d, {ts '%d-%02d-%02d 09:%02d:00'}, '%d.%02d', %s, %d)\n" \
            $((7000 + i)) "${names[i % 14]}" "$i" "${jobs[i % 5]}" $((7000 + i / 10)) $((1990 + i % 30)) $((i % 12 + 1)) $((i % 28 + 1)) $((i % 60)) \
            $((800 + i * 13 % 4000)) $((i % 100)) "$comm" $((10 * (i % 4 + 1)))
    done
    echo 'CREATE TABLE ORDERS(ID NUMBER, CUSTOMER NVARCHAR2(40), CREATED TIMESTAMP(6), AMOUNT NUMBER(10,2), STATUS CHAR(1), NOTE CLOB, CODE RAW(8))'
    local customers=("Zoë Müller" "O'Brien & Sons" "Åsa Lindqvist" "Łukasz Nowak" "José Ramírez" "Chen Wei 陈伟" "Acme \\ Corp")
    for i in $(seq 1 400); do
        printf "INSERT INTO ORDERS VALUES(%d, '%s', {ts '2024-%02d-%02d %02d:%02d:%02d.%06d'}, '%d.%02d', '%s', '%s', '%08X')\n" \
            "$i" "${customers[i % 7]//\'/\'\'}" $((i % 12 + 1)) $((i % 28 + 1)) $((i % 24)) $((i % 60)) $((i * 7 % 60)) $((i * 12345 % 1000000)) \
            $((i * 37 % 5000)) $((i % 100)) "$(printf 'NPSC' | cut -c$((i % 4 + 1)))" "Order $i: handle with care, it''s fragile" $((i * 2654435761 % 4294967296))
    done
    echo 'CREATE TABLE "Customer Notes"("Customer" VARCHAR2(40), "Note" VARCHAR2(200))'
    echo "INSERT INTO \"Customer Notes\" VALUES('Zoë Müller', 'Prefers e-mail; calls on Fridays')"
    echo "INSERT INTO \"Customer Notes\" VALUES('O''Brien & Sons', 'Uses the separator |myseparaterz| in their references')"
}

demo_side2_sql() {
    echo 'CREATE TABLE REGIONS(REGION_ID NUMBER, REGION_NAME VARCHAR2(25))'
    local regions=(Europe Americas Asia "Middle East and Africa")
    for i in 0 1 2 3; do echo "INSERT INTO REGIONS VALUES($((i + 1)), '${regions[i]}')"; done
    echo 'CREATE TABLE COUNTRIES(COUNTRY_ID CHAR(2), COUNTRY_NAME VARCHAR2(40), REGION_ID NUMBER)'
    local countries=("AR Argentina 2" "AU Australia 3" "BE Belgium 1" "BR Brazil 2" "CA Canada 2" "CH Switzerland 1"
                     "CN China 3" "DE Germany 1" "DK Denmark 1" "EG Egypt 4" "FR France 1" "IL Israel 4" "IN India 3"
                     "IT Italy 1" "JP Japan 3" "KW Kuwait 4" "MX Mexico 2" "NG Nigeria 4" "NL Netherlands 1"
                     "SG Singapore 3" "UK United_Kingdom 1" "US United_States_of_America 2" "ZM Zambia 4" "ZW Zimbabwe 4")
    for c in "${countries[@]}"; do
        set -- $c
        echo "INSERT INTO COUNTRIES VALUES('$1', '${2//_/ }', $3)"
    done
    echo 'CREATE TABLE EMPLOYEES(EMPLOYEE_ID NUMBER(6), FIRST_NAME VARCHAR2(20), LAST_NAME VARCHAR2(25), EMAIL VARCHAR2(25), HIRE_DATE DATE, SALARY NUMBER(8,2), ACTIVE BOOLEAN)'
    local first=(Steven Neena Lex Alexander Bruce David Valli Diana Nancy Daniel)
    local last=(King Kochhar "De Haan" Hunold Ernst Austin Pataballa Lorentz Greenberg Faviet)
    for i in $(seq 1 200); do
        printf "INSERT INTO EMPLOYEES VALUES(%d, '%s', '%s', '%s%d', {d '%d-%02d-%02d'}, '%d', %d)\n" \
            $((100 + i)) "${first[i % 10]}" "${last[i * 3 % 10]}" "USER" "$i" $((2000 + i % 24)) $((i % 12 + 1)) $((i % 28 + 1)) \
            $((3000 + i * 97 % 20000)) $((i % 5 != 0))
    done
}

mirravel_setup_demo() {
    local dir="$1"
    local devdb="$DEMO_SOURCE_DIR/../devdb"
    mkdir -p "$dir"
    if [ ! -f "$dir/db/.seeded" ]; then
        echo "Setting up the demo databases in $dir/db ..."
        rm -rf "$dir/db"
        "$devdb" init "$dir/db" >/dev/null
        "$devdb" user "$dir/db" DEMO1 scott tiger
        "$devdb" user "$dir/db" DEMO2 hr hr
        demo_side1_sql | "$devdb" sql "$dir/db" DEMO1 scott tiger >/dev/null
        demo_side2_sql | "$devdb" sql "$dir/db" DEMO2 hr hr >/dev/null
        touch "$dir/db/.seeded"
    fi
    export ODBCSYSINI="$dir/db"

    # The demo's own settings folder: the user's saved logins are never touched.
    export XDG_CONFIG_HOME="$dir/config"
    local ini="$XDG_CONFIG_HOME/Kestrovan.ini"
    if [ ! -f "$ini" ]; then
        mkdir -p "$XDG_CONFIG_HOME"
        (umask 077 && printf '[Mirravel]\nOracleServer=DEMO1\nOracleUser=scott\nOraclePassword=tiger\nOracleServer2=DEMO2\nOracleUser2=hr\nOraclePassword2=hr\n' >"$ini")
    fi
}
