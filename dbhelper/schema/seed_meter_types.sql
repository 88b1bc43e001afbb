-- The meter types a fresh installation knows: infrared-card and IC key-card
-- meters, single- and three-phase. None is offered yet (SortIndex 10000): the
-- first-run set-up chooses which ones the meter dialog offers, and in what order.
--
-- Only types whose code is missing are added, so the same statements bring an
-- older database up to date (schema version 4) without touching a type it has.

insert into PreModel (ModelId, Model, Spec, InnerMul, DevType, CardType, Phase, MaxLimit, MinLimit, BaseValue,
                      State, SortIndex, bCt, bPt)
select column1, column2, column3, column4, '预付费电表', column5, column6, column7, column8, column9,
       '正常', 10000, column10, column11
from (values
    ('QM-H1', 'QM1单相红外预付费电表', '220V 5(30)A', 1, '红外遥控卡', '单相二线', 30, 5, 5, '否', '否'),
    ('QM-H3', 'QM3三相红外预付费电表', '3x220/380V 10(40)A', 1, '红外遥控卡', '三相四线', 40, 10, 10, '是', '否'),
    ('QM-K1', 'QM1单相IC卡预付费电表', '220V 10(40)A', 1, 'IC钥匙卡', '单相二线', 40, 10, 10, '否', '否'),
    ('QM-K3', 'QM3三相IC卡预付费电表', '3x220/380V 1.5(6)A', 1, 'IC钥匙卡', '三相四线', 6, 1.5, 1.5, '是', '是')) as types
where not exists (select 1 from PreModel where PreModel.ModelId = column1);
